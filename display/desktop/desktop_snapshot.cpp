#include "display/desktop/desktop_snapshot.h"

#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <algorithm>
#include <cstring>

#include "display/x11_error_trap.h"

namespace {

bool HasRandr12(Display* display, bool* current_resources) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base)) return false;
  if (!XRRQueryVersion(display, &major, &minor)) return false;
  if (current_resources) *current_resources = major > 1 || (major == 1 && minor >= 3);
  return major > 1 || (major == 1 && minor >= 2);
}

bool HasVidMode(Display* display) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  return XF86VidModeQueryExtension(display, &event_base, &error_base) &&
         XF86VidModeQueryVersion(display, &major, &minor);
}

bool ReadVidMode(Display* display, int screen, VidModeSnapshot* out) {
  int dotclock = 0;
  XF86VidModeModeLine line{};
  if (!XF86VidModeGetModeLine(display, screen, &dotclock, &line)) return false;
  if (line.privsize > 0 && line.c_private) XFree(line.c_private);
  out->dotclock = static_cast<unsigned>(dotclock);
  out->hdisplay = line.hdisplay;
  out->hsyncstart = line.hsyncstart;
  out->hsyncend = line.hsyncend;
  out->htotal = line.htotal;
  out->hskew = line.hskew;
  out->vdisplay = line.vdisplay;
  out->vsyncstart = line.vsyncstart;
  out->vsyncend = line.vsyncend;
  out->vtotal = line.vtotal;
  out->flags = line.flags;
  return true;
}

XF86VidModeModeInfo ModeInfoOf(const VidModeSnapshot& v) {
  XF86VidModeModeInfo info{};
  info.dotclock = v.dotclock;
  info.hdisplay = v.hdisplay;
  info.hsyncstart = v.hsyncstart;
  info.hsyncend = v.hsyncend;
  info.htotal = v.htotal;
  info.hskew = v.hskew;
  info.vdisplay = v.vdisplay;
  info.vsyncstart = v.vsyncstart;
  info.vsyncend = v.vsyncend;
  info.vtotal = v.vtotal;
  info.flags = v.flags;
  return info;
}

bool SameVidMode(const VidModeSnapshot& a, const VidModeSnapshot& b) {
  return a.dotclock == b.dotclock && a.hdisplay == b.hdisplay && a.htotal == b.htotal &&
         a.vdisplay == b.vdisplay && a.vtotal == b.vtotal && a.flags == b.flags;
}

XRRScreenResources* Resources(Display* display, int screen, bool current) {
  Window root = RootWindow(display, screen);
  return current ? XRRGetScreenResourcesCurrent(display, root)
                 : XRRGetScreenResources(display, root);
}

// Without an error trap: the callers decide how errors are caught.
std::vector<CrtcSnapshot> ReadCrtcsUntrapped(Display* display, int screen) {
  std::vector<CrtcSnapshot> crtcs;
  bool current = false;
  if (!HasRandr12(display, &current)) return crtcs;
  XRRScreenResources* resources = Resources(display, screen, current);
  if (!resources) return crtcs;
  for (int i = 0; i < resources->ncrtc; ++i) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
    if (!info) continue;
    CrtcSnapshot c;
    c.crtc = resources->crtcs[i];
    c.mode = info->mode;
    c.x = info->x;
    c.y = info->y;
    c.rotation = info->rotation;
    c.output_count = std::min(info->noutput, kSnapshotMaxOutputs);
    for (int o = 0; o < c.output_count; ++o) c.outputs[o] = info->outputs[o];
    XRRFreeCrtcInfo(info);
    crtcs.push_back(c);
  }
  XRRFreeScreenResources(resources);
  return crtcs;
}

// Sets each differing CRTC back; the mode, position, rotation and outputs as they were.
bool RestoreCrtcs(Display* display, const DesktopSnapshot& snapshot) {
  bool current = false;
  if (!HasRandr12(display, &current)) return false;
  std::vector<int> differing =
      CrtcsToRestore(snapshot, ReadCrtcsUntrapped(display, snapshot.screen));
  if (differing.empty()) return true;
  XRRScreenResources* resources = Resources(display, snapshot.screen, current);
  if (!resources) return false;
  bool ok = true;
  for (int index : differing) {
    const CrtcSnapshot& c = snapshot.crtcs[index];
    RROutput outputs[kSnapshotMaxOutputs];
    for (int o = 0; o < c.output_count; ++o) outputs[o] = c.outputs[o];
    Status status = XRRSetCrtcConfig(display, resources, c.crtc, CurrentTime, c.x, c.y, c.mode,
                                     static_cast<Rotation>(c.rotation),
                                     c.output_count ? outputs : nullptr, c.output_count);
    ok = ok && status == RRSetConfigSuccess;
  }
  XRRFreeScreenResources(resources);
  return ok;
}

bool RestoreVidMode(Display* display, const DesktopSnapshot& snapshot) {
  VidModeSnapshot now;
  if (ReadVidMode(display, snapshot.screen, &now) && SameVidMode(now, snapshot.vidmode)) {
    return true;
  }
  XF86VidModeModeInfo mode = ModeInfoOf(snapshot.vidmode);
  XF86VidModeSwitchToMode(display, snapshot.screen, &mode);
  XF86VidModeSetViewPort(display, snapshot.screen, 0, 0);
  return true;
}

int LitCrtcs(const DesktopSnapshot& snapshot) {
  return static_cast<int>(std::count_if(snapshot.crtcs, snapshot.crtcs + snapshot.crtc_count,
                                        [](const CrtcSnapshot& c) { return c.mode != 0; }));
}

bool RestoreUntrapped(Display* display, const DesktopSnapshot& snapshot) {
  bool ok = true;
  // CRTC by CRTC first: where the server keeps the two views in step, the VidMode mode is then
  // back too. The single-mode path would set every monitor at (0, 0), so it is used only where
  // there is at most one.
  if (snapshot.has_crtcs) ok = RestoreCrtcs(display, snapshot) && ok;
  const bool single_monitor = !snapshot.has_crtcs || LitCrtcs(snapshot) <= 1;
  if (snapshot.has_vidmode && single_monitor && HasVidMode(display)) {
    ok = RestoreVidMode(display, snapshot) && ok;
  }
  return ok;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool CrtcSnapshot::SameConfig(const CrtcSnapshot& other) const {
  if (crtc != other.crtc || mode != other.mode || rotation != other.rotation) return false;
  // An unlit CRTC has no position or outputs that matter.
  if (mode == 0) return true;
  if (x != other.x || y != other.y || output_count != other.output_count) return false;
  return std::equal(outputs, outputs + output_count, other.outputs);
}

std::vector<CrtcSnapshot> ReadCrtcs(Display* display, int screen) {
  XErrorTrap trap(display);
  std::vector<CrtcSnapshot> crtcs = ReadCrtcsUntrapped(display, screen);
  if (trap.Failed()) crtcs.clear();
  return crtcs;
}

bool TakeDesktopSnapshot(Display* display, int screen, DesktopSnapshot* snapshot) {
  *snapshot = DesktopSnapshot{};
  const char* name = DisplayString(display);
  std::strncpy(snapshot->display_name, name ? name : "", sizeof snapshot->display_name - 1);
  snapshot->screen = screen;
  XErrorTrap trap(display);
  if (HasVidMode(display)) snapshot->has_vidmode = ReadVidMode(display, screen, &snapshot->vidmode);
  std::vector<CrtcSnapshot> crtcs = ReadCrtcsUntrapped(display, screen);
  if (!crtcs.empty() && crtcs.size() <= static_cast<size_t>(kSnapshotMaxCrtcs)) {
    snapshot->has_crtcs = true;
    snapshot->crtc_count = static_cast<int>(crtcs.size());
    std::copy(crtcs.begin(), crtcs.end(), snapshot->crtcs);
  }
  if (trap.Failed()) snapshot->has_vidmode = snapshot->has_crtcs = false;
  return snapshot->has_vidmode || snapshot->has_crtcs;
}

bool RestoreDesktopSnapshot(Display* display, const DesktopSnapshot& snapshot) {
  XErrorTrap trap(display);
  bool ok = RestoreUntrapped(display, snapshot);
  XSync(display, False);
  return ok && !trap.Failed();
}

bool RestoreDesktopSnapshotOverNewConnection(const DesktopSnapshot& snapshot) {
  // Xlib's default handler would end the process with exit(), from inside an exit path.
  auto previous = XSetErrorHandler(IgnoreXError);
  bool ok = false;
  if (Display* fresh = XOpenDisplay(snapshot.display_name)) {
    ok = RestoreUntrapped(fresh, snapshot);
    XSync(fresh, False);
    XCloseDisplay(fresh);
  }
  XSetErrorHandler(previous);
  return ok;
}

std::vector<int> CrtcsToRestore(const DesktopSnapshot& snapshot,
                                const std::vector<CrtcSnapshot>& now) {
  std::vector<int> differing;
  for (int i = 0; i < snapshot.crtc_count; ++i) {
    const CrtcSnapshot& was = snapshot.crtcs[i];
    auto it = std::find_if(now.begin(), now.end(),
                           [&](const CrtcSnapshot& c) { return c.crtc == was.crtc; });
    if (it != now.end() && !it->SameConfig(was)) differing.push_back(i);
  }
  return differing;
}
