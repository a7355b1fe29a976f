#include "display/x11_video_mode.h"

#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <vector>

#include "display/desktop/desktop_watchdog.h"
#include "display/display_math.h"
#include "display/x11_error_trap.h"
#include "system/x11_system_driver.h"

namespace {

struct SwitchState {
  bool switched = false;
  Display* display = nullptr;  // the connection the switch was made on
  bool snapshot_taken = false;
  DesktopSnapshot snapshot;
};

SwitchState state;

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

VideoModeTiming TimingOf(const XRRModeInfo& m) {
  VideoModeTiming t;
  t.dotclock_khz = static_cast<int>(m.dotClock / 1000);
  t.hdisplay = static_cast<int>(m.width);
  t.htotal = static_cast<int>(m.hTotal);
  t.vdisplay = static_cast<int>(m.height);
  t.vtotal = static_cast<int>(m.vTotal);
  t.flags = static_cast<unsigned>(m.modeFlags);  // RandR's interlace and double-scan bits
  return t;
}

bool CurrentVidModeSize(Display* display, int screen, int* width, int* height) {
  int dotclock = 0;
  XF86VidModeModeLine line{};
  if (!XF86VidModeGetModeLine(display, screen, &dotclock, &line)) return false;
  if (line.privsize > 0 && line.c_private) XFree(line.c_private);
  *width = line.hdisplay;
  *height = line.vdisplay;
  return true;
}

bool SwitchWithVidMode(Display* display, int screen, int width, int height, int hertz) {
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
  const int chosen = ChooseVideoMode(timings, width, height, hertz);
  if (chosen < 0) {
    XFree(modes);
    return false;
  }
  XF86VidModeModeInfo target = *modes[chosen];
  XFree(modes);  // one block: the array and the records

  bool accepted;
  {
    XErrorTrap trap(display);
    XF86VidModeSwitchToMode(display, screen, &target);
    XF86VidModeSetViewPort(display, screen, 0, 0);
    accepted = !trap.Failed();
  }
  // Some servers accept the request and keep the mode: only the mode in force counts.
  int now_w = 0, now_h = 0;
  return accepted && CurrentVidModeSize(display, screen, &now_w, &now_h) && now_w == width &&
         now_h == height;
}

// The CRTC lit at exactly the monitor's rectangle, and a mode of the size for its first output.
bool SwitchWithRandr(Display* display, int screen, const MonitorRect& monitor, int width,
                     int height, int hertz) {
  XErrorTrap trap(display);
  int major = 0, minor = 0;
  if (!XRRQueryVersion(display, &major, &minor)) return false;
  const Window root = RootWindow(display, screen);
  XRRScreenResources* resources = (major > 1 || minor >= 3)
                                      ? XRRGetScreenResourcesCurrent(display, root)
                                      : XRRGetScreenResources(display, root);
  if (!resources) return false;
  bool switched = false;
  for (int i = 0; i < resources->ncrtc && !switched; ++i) {
    const RRCrtc crtc = resources->crtcs[i];
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    if (!info) continue;
    const bool ours = info->mode != 0 && info->noutput > 0 && info->x == monitor.x &&
                      info->y == monitor.y && static_cast<int>(info->width) == monitor.width &&
                      static_cast<int>(info->height) == monitor.height;
    // A monitor turned on its side would show the mode as height x width: leave it be.
    const bool upright = (info->rotation & (RR_Rotate_90 | RR_Rotate_270)) == 0;
    if (!ours || !upright) {
      XRRFreeCrtcInfo(info);
      continue;
    }
    XRROutputInfo* output = XRRGetOutputInfo(display, resources, info->outputs[0]);
    std::vector<VideoModeTiming> timings;
    std::vector<RRMode> ids;
    for (int m = 0; output && m < output->nmode; ++m) {
      for (int k = 0; k < resources->nmode; ++k) {
        if (resources->modes[k].id != output->modes[m]) continue;
        timings.push_back(TimingOf(resources->modes[k]));
        ids.push_back(resources->modes[k].id);
      }
    }
    if (output) XRRFreeOutputInfo(output);
    const int chosen = ChooseVideoMode(timings, width, height, hertz);
    if (chosen >= 0) {
      Status status = XRRSetCrtcConfig(display, resources, crtc, CurrentTime, info->x, info->y,
                                       ids[chosen], info->rotation, info->outputs, info->noutput);
      switched = status == RRSetConfigSuccess;
      if (switched) {
        XRRCrtcInfo* now = XRRGetCrtcInfo(display, resources, crtc);
        switched = now && now->mode == ids[chosen];
        if (now) XRRFreeCrtcInfo(now);
      }
    }
    XRRFreeCrtcInfo(info);
    break;
  }
  XRRFreeScreenResources(resources);
  return switched && !trap.Failed();
}

}  // namespace

bool SwitchVideoMode(Display* display, int screen, ModeRoute route, const MonitorRect& monitor,
                     int width, int height, int hertz) {
  if (state.switched) RestoreVideoMode();
  if (route == ModeRoute::kNone) return false;
  if (!state.snapshot_taken) {
    if (!TakeDesktopSnapshot(display, screen, &state.snapshot)) return false;
    state.snapshot_taken = true;
    // Before the first change: whatever ends the process, the watchdog can put this back.
    StartDesktopWatchdog(state.snapshot);
  }
  // From the first request on, the desktop may differ from the snapshot.
  state.switched = true;
  state.display = display;
  ArmDesktopWatchdog(true);
  const bool done = route == ModeRoute::kRandrCrtc
                        ? SwitchWithRandr(display, screen, monitor, width, height, hertz)
                        : SwitchWithVidMode(display, screen, width, height, hertz);
  if (!done) {
    RestoreDesktopSnapshot(display, state.snapshot);
    state.switched = false;
    ArmDesktopWatchdog(false);
  }
  return done;
}

void RestoreVideoMode() {
  if (!state.switched) return;
  if (XConnection() != state.display) {
    // The connection the switch was made on has been closed meanwhile.
    RestoreVideoModeOnNewConnection();
    return;
  }
  state.switched = false;
  // Disarmed only once the server has it: a death half-way leaves the watchdog to finish.
  if (RestoreDesktopSnapshot(state.display, state.snapshot)) ArmDesktopWatchdog(false);
}

bool VideoModeSwitched() { return state.switched; }

void RestoreVideoModeOnNewConnection() {
  if (!state.switched) return;
  state.switched = false;
  if (RestoreDesktopSnapshotOverNewConnection(state.snapshot)) ArmDesktopWatchdog(false);
}

const DesktopSnapshot* DesktopSnapshotTaken() {
  return state.snapshot_taken ? &state.snapshot : nullptr;
}
