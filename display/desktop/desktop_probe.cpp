#include "display/desktop/desktop_probe.h"

#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>

#include <cstring>

#include "display/x11_error_trap.h"

namespace {

bool HasExtension(Display* display, const char* name) {
  int opcode = 0, event_base = 0, error_base = 0;
  return XQueryExtension(display, name, &opcode, &event_base, &error_base);
}

void ReadMonitors(Display* display, int screen, DesktopFacts* facts) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event_base, &error_base)) return;
  if (!XRRQueryVersion(display, &major, &minor)) return;
  if (major < 1 || (major == 1 && minor < 2)) return;
  facts->randr12 = true;
  const Window root = RootWindow(display, screen);
  const bool current = major > 1 || minor >= 3;
  XRRScreenResources* resources =
      current ? XRRGetScreenResourcesCurrent(display, root) : XRRGetScreenResources(display, root);
  if (!resources) return;
  const RROutput primary = current ? XRRGetOutputPrimary(display, root) : 0;
  for (int i = 0; i < resources->noutput; ++i) {
    XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
    if (!output) continue;
    // Xwayland names its outputs so; older ones have no extension of their own to ask.
    if (output->name && std::strncmp(output->name, "XWAYLAND", 8) == 0) facts->xwayland = true;
    XRRFreeOutputInfo(output);
  }
  for (int i = 0; i < resources->ncrtc; ++i) {
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
    if (!crtc) continue;
    if (crtc->mode != 0 && crtc->width > 0 && crtc->height > 0) {
      MonitorFacts m;
      m.rect = MonitorRect{crtc->x, crtc->y, static_cast<int>(crtc->width),
                           static_cast<int>(crtc->height)};
      for (int o = 0; o < crtc->noutput; ++o) {
        if (primary != 0 && crtc->outputs[o] == primary) m.primary = true;
      }
      facts->monitors.push_back(m);
    }
    XRRFreeCrtcInfo(crtc);
  }
  XRRFreeScreenResources(resources);
}

}  // namespace

DesktopFacts ProbeDesktop(Display* display, int screen) {
  DesktopFacts facts;
  facts.screen_width = DisplayWidth(display, screen);
  facts.screen_height = DisplayHeight(display, screen);
  facts.xwayland = HasExtension(display, "XWAYLAND");
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  facts.vidmode = XF86VidModeQueryExtension(display, &event_base, &error_base) &&
                  XF86VidModeQueryVersion(display, &major, &minor);
  XErrorTrap trap(display);
  ReadMonitors(display, screen, &facts);
  if (trap.Failed()) {
    // A server that answers RandR with errors: treat it as one screen-sized monitor.
    facts.randr12 = false;
    facts.monitors.clear();
  }
  return facts;
}
