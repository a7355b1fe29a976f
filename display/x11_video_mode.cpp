#include "display/x11_video_mode.h"

#include <X11/extensions/xf86vmode.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/display_math.h"
#include "display/x11_error_trap.h"
#include "system/x11_system_driver.h"

namespace {

struct SwitchState {
  bool switched = false;
  Display* display = nullptr;
  int screen = 0;
  XF86VidModeModeInfo desktop{};  // the mode to come back to
  char display_name[256] = {};    // for a new connection when this one is lost
};

SwitchState state;

bool ReadCurrentMode(Display* display, int screen, XF86VidModeModeInfo* info) {
  int dotclock = 0;
  XF86VidModeModeLine line{};
  if (!XF86VidModeGetModeLine(display, screen, &dotclock, &line)) return false;
  if (line.privsize > 0 && line.c_private) XFree(line.c_private);
  *info = XF86VidModeModeInfo{};
  info->dotclock = static_cast<unsigned>(dotclock);
  info->hdisplay = line.hdisplay;
  info->hsyncstart = line.hsyncstart;
  info->hsyncend = line.hsyncend;
  info->htotal = line.htotal;
  info->hskew = line.hskew;
  info->vdisplay = line.vdisplay;
  info->vsyncstart = line.vsyncstart;
  info->vsyncend = line.vsyncend;
  info->vtotal = line.vtotal;
  info->flags = line.flags;
  return true;
}

VideoModeTiming TimingOf(const XF86VidModeModeInfo& m) {
  VideoModeTiming t;
  t.dotclock_khz = static_cast<int>(m.dotclock);
  t.hdisplay = m.hdisplay;
  t.htotal = m.htotal;
  t.vdisplay = m.vdisplay;
  t.vtotal = m.vtotal;
  t.flags = m.flags;
  return t;
}

// Returns whether the server accepted both requests.
bool SwitchTo(Display* display, int screen, XF86VidModeModeInfo* mode) {
  XErrorTrap trap(display);
  XF86VidModeSwitchToMode(display, screen, mode);
  XF86VidModeSetViewPort(display, screen, 0, 0);
  return !trap.Failed();
}

}  // namespace

bool SwitchVideoMode(Display* display, int screen, int width, int height, int hertz) {
  if (state.switched) RestoreVideoMode();
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XF86VidModeQueryExtension(display, &event_base, &error_base)) return false;
  if (!XF86VidModeQueryVersion(display, &major, &minor)) return false;

  XF86VidModeModeInfo desktop{};
  {
    XErrorTrap trap(display);
    if (!ReadCurrentMode(display, screen, &desktop) || trap.Failed()) return false;
  }

  int count = 0;
  XF86VidModeModeInfo** modes = nullptr;
  {
    XErrorTrap trap(display);
    if (!XF86VidModeGetAllModeLines(display, screen, &count, &modes) || trap.Failed()) {
      return false;
    }
  }
  std::vector<VideoModeTiming> timings;
  for (int i = 0; i < count; ++i) timings.push_back(TimingOf(*modes[i]));
  int chosen = ChooseVideoMode(timings, width, height, hertz);
  if (chosen < 0) {
    XFree(modes);
    return false;
  }
  XF86VidModeModeInfo target = *modes[chosen];
  XFree(modes);  // one block: the array and the records

  bool accepted = SwitchTo(display, screen, &target);
  // Some servers accept the request and keep the mode: only the mode in force counts.
  XF86VidModeModeInfo now{};
  bool took = accepted && ReadCurrentMode(display, screen, &now) && now.hdisplay == width &&
              now.vdisplay == height;
  if (!took) {
    SwitchTo(display, screen, &desktop);
    return false;
  }

  state.switched = true;
  state.display = display;
  state.screen = screen;
  state.desktop = desktop;
  std::string name = DisplayString(display);
  name.copy(state.display_name, sizeof state.display_name - 1);
  state.display_name[std::min(name.size(), sizeof state.display_name - 1)] = '\0';
  return true;
}

void RestoreVideoMode() {
  if (!state.switched) return;
  if (XConnection() != state.display) {
    // The connection the switch was made on has been closed meanwhile.
    RestoreVideoModeOnNewConnection();
    return;
  }
  state.switched = false;
  SwitchTo(state.display, state.screen, &state.desktop);
  XFlush(state.display);
  XSync(state.display, False);
}

bool VideoModeSwitched() { return state.switched; }

namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

void RestoreVideoModeOnNewConnection() {
  if (!state.switched) return;
  state.switched = false;
  // Xlib's default handler would end the process with exit(), from inside an exit path.
  auto previous = XSetErrorHandler(IgnoreXError);
  Display* fresh = XOpenDisplay(state.display_name);
  if (fresh) {
    XF86VidModeSwitchToMode(fresh, state.screen, &state.desktop);
    XF86VidModeSetViewPort(fresh, state.screen, 0, 0);
    XSync(fresh, False);
    XCloseDisplay(fresh);
  }
  XSetErrorHandler(previous);
}
