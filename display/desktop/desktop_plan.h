#pragma once
// The decisions about the desktop that need no X server: which way the video mode is switched,
// which monitor the game shows on, what kind of window it gets, which swap-control entry point
// sets the swap interval, and the window's icon. The X side (desktop_probe, glx_display) feeds
// them what the server reports.
#include <vector>

struct MonitorRect {
  int x = 0, y = 0, width = 0, height = 0;  // root-window pixels
  bool operator==(const MonitorRect&) const = default;
};

struct MonitorFacts {
  MonitorRect rect;
  bool primary = false;
};

// What the server offers, as far as the display cares.
struct DesktopFacts {
  bool xwayland = false;  // a Wayland compositor's X server: modes are faked, grabs are local
  bool randr12 = false;   // RandR 1.2 or later: CRTCs can be set one by one
  bool vidmode = false;   // the XFree86 video-mode extension
  int screen_width = 0, screen_height = 0;
  std::vector<MonitorFacts> monitors;  // lit CRTCs, in the server's order
};

enum class ModeRoute {
  kNone,       // never switch (Xwayland, or nothing to switch with)
  kVidMode,    // the server's single-mode path: safe with one monitor lit, or without RandR 1.2
  kRandrCrtc,  // the game monitor's CRTC alone, through RandR 1.2
};
ModeRoute ChooseModeRoute(const DesktopFacts& facts);

// The monitor the game shows on: the primary one, else the one at the screen's origin, else the
// first lit one; the whole screen when the server tells of none.
MonitorRect GameMonitor(const DesktopFacts& facts);

enum class WindowStyle {
  kOverrideFullScreen,  // unmanaged, covering the game monitor; input by grabs
  kManagedFullScreen,   // asks the window manager for full screen; input by focus, then grabs
  kWindow,              // an ordinary resizable window
};

struct WindowPlan {
  WindowStyle style = WindowStyle::kOverrideFullScreen;
  ModeRoute route = ModeRoute::kNone;
  MonitorRect area;            // where the window goes before any mode switch
  bool grab_keyboard = false;  // while focused
  bool grab_pointer = false;   // while focused, confined to the window
};
WindowPlan PlanWindow(const DesktopFacts& facts, bool windowed, int width, int height);

// The window's rectangle once the route has switched the mode to width x height: VidMode shows
// the top-left corner of the screen, a RandR CRTC keeps its position.
MonitorRect SwitchedArea(ModeRoute route, const MonitorRect& monitor, int width, int height);

// Swap interval: EXT (per drawable), then MESA, then SGI, which cannot set 0.
enum class SwapControl { kNone, kExt, kMesa, kSgi };
SwapControl ChooseSwapControl(bool ext, bool mesa, bool sgi, int interval);

// The _NET_WM_ICON property (format 32, as Xlib wants it: one long per value): for each size, the
// width, the height and the ARGB pixels, row by row, of the game's face.
std::vector<unsigned long> FaceIconProperty(const std::vector<int>& sizes);
