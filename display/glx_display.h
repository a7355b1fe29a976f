#pragma once
// The platform display: one X window with a GLX context. Full screen it covers the game monitor,
// in a switched video mode where the server can switch that monitor alone, otherwise showing the
// picture scaled (ScaledPresenter); under Xwayland as a window the window manager makes full
// screen and hands the focus to. On request it is an ordinary window, scaled when resized.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>

#include "display/desktop/desktop_plan.h"
#include "display/display_math.h"
#include "display/desktop/input_ownership.h"
#include "display/scaled_presenter.h"
#include "system/x11_system_driver.h"

enum DisplayKind { kAttachedDisplay = 1, kWindowedDisplay = 2, kFullScreenDisplay = 3 };

class CentredPointerMapping : public PointerMapping {
 public:
  CentredMapping map;
  void WindowToGame(int& x, int& y) const override { map.WindowToGame(x, y); }
  void GameToWindow(int& x, int& y) const override { map.GameToWindow(x, y); }
};

struct GLXDisplayRecord {
  int kind = 0;
  int width = 0, height = 0;  // the picture the game draws
  int depth = 24;             // always reported as 24
  int hertz = 0, flags = 0;
  int sync = -1;                 // swap interval last set; -1 before the first flip
  Display* x_display = nullptr;  // the connection it was made on
  Window window = 0;
  GLXContext context = nullptr;
  Colormap colormap = 0;
  WindowStyle style = WindowStyle::kOverrideFullScreen;
  bool xwayland = false;
  int window_x = 0, window_y = 0;  // where it was put, in root pixels
  int window_width = 0, window_height = 0;
  bool mode_switched = false;
  bool scaled = false;  // the picture goes through the presenter
  ScaledPresenter presenter;
  CentredPointerMapping pointer_mapping;
  std::unique_ptr<GrabPort> grab_port;
  std::unique_ptr<InputOwnership> input;
  bool resize_pending = false;  // the window manager gave the window a new size
  int pending_width = 0, pending_height = 0;
  bool screen_saver_suspended = false;
  ModeRoute route = ModeRoute::kNone;  // how the mode was switched, to switch again on resume
  MonitorRect monitor;
  bool suspended = false;  // stopped from the terminal: the desktop has its mode and input back
  bool double_buffered = true;  // false only for a foreign window whose visual has one buffer
  bool closed = false;
};

// nullptr if no display can be opened (no X connection, no GLX, no visual, no context).
std::unique_ptr<GLXDisplayRecord> CreateGLXDisplay(int width, int height, int depth, int hertz,
                                                   int flags);
void CloseGLXDisplay(GLXDisplayRecord* record);  // idempotent
void CloseAllGLXDisplays();  // the exit paths: nothing may stay open or switched
// Makes the record's context current with the viewport on its picture; nullptr releases.
void MakeGLXDisplayCurrent(GLXDisplayRecord* record);
GLXDisplayRecord* CurrentGLXDisplay();
// Presents the current display's back buffer and pumps pending X events.
void FlipGLXDisplay(int sync);

// Job control: before the process stops, the desktop gets its mode, the keyboard, the pointer
// and a visible pointer back; on resuming the game takes them again where it was.
void SuspendGLXDisplay();
void ResumeGLXDisplay();

// The X display that was tried last, and why it could not be opened, for the start-up error
// message ("" if it opened).
const char* LastGLXDisplayNameTried();
const char* LastGLXDisplayFailure();
