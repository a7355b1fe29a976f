#include "tests/support/desktop_bed.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

class ServerConnection {
 public:
  explicit ServerConnection(const std::string& name) : d(XOpenDisplay(name.c_str())) {}
  ~ServerConnection() {
    if (d) XCloseDisplay(d);
  }
  Display* d;
  Window root() const { return DefaultRootWindow(d); }
};

// Resources with their outputs and modes, freed at the end of the scope.
class Resources {
 public:
  explicit Resources(Display* d)
      : _d(d), r(XRRGetScreenResourcesCurrent(d, DefaultRootWindow(d))) {}
  ~Resources() {
    if (r) XRRFreeScreenResources(r);
  }
  RROutput Output(const std::string& name) const {
    for (int i = 0; r && i < r->noutput; ++i) {
      XRROutputInfo* info = XRRGetOutputInfo(_d, r, r->outputs[i]);
      bool match = info && name == info->name;
      if (info) XRRFreeOutputInfo(info);
      if (match) return r->outputs[i];
    }
    return 0;
  }
  RRMode Mode(const std::string& name) const {
    for (int i = 0; r && i < r->nmode; ++i) {
      if (name == r->modes[i].name) return r->modes[i].id;
    }
    return 0;
  }
  const XRRModeInfo* ModeInfo(RRMode id) const {
    for (int i = 0; r && i < r->nmode; ++i) {
      if (r->modes[i].id == id) return &r->modes[i];
    }
    return nullptr;
  }
  Display* _d;
  XRRScreenResources* r;
};

bool HasAtom(Display* d, Window w, const char* property, const char* value) {
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(d, w, XInternAtom(d, property, False), 0, 64, False, XA_ATOM, &type,
                         &format, &count, &after, &data) == Success &&
      data) {
    Atom wanted = XInternAtom(d, value, False);
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    found = std::find(atoms, atoms + count, wanted) != atoms + count;
    XFree(data);
  }
  return found;
}

bool IsGameWindow(Display* d, Window w) {
  XClassHint hint{};
  if (!XGetClassHint(d, w, &hint)) return false;
  bool ours = hint.res_class && std::strcmp(hint.res_class, "Moody") == 0;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return ours;
}

// Depth first: a reparenting window manager puts the game's window inside a frame.
Window FindClass(Display* d, Window w) {
  if (IsGameWindow(d, w)) return w;
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = FindClass(d, children[i]);
  if (children) XFree(children);
  return found;
}

}  // namespace

std::vector<LitMonitor> LitMonitors(const std::string& display) {
  std::vector<LitMonitor> monitors;
  ServerConnection c(display);
  if (!c.d) return monitors;
  Resources res(c.d);
  for (int i = 0; res.r && i < res.r->ncrtc; ++i) {
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(c.d, res.r, res.r->crtcs[i]);
    if (!crtc) continue;
    if (crtc->mode != 0 && crtc->noutput > 0) {
      XRROutputInfo* out = XRRGetOutputInfo(c.d, res.r, crtc->outputs[0]);
      monitors.push_back({out ? out->name : "?", crtc->x, crtc->y, static_cast<int>(crtc->width),
                          static_cast<int>(crtc->height)});
      if (out) XRRFreeOutputInfo(out);
    }
    XRRFreeCrtcInfo(crtc);
  }
  std::sort(monitors.begin(), monitors.end(),
            [](const LitMonitor& a, const LitMonitor& b) { return a.output < b.output; });
  return monitors;
}

std::string Describe(const std::vector<LitMonitor>& monitors) {
  std::string text;
  for (const LitMonitor& m : monitors) {
    text += m.output + " " + std::to_string(m.width) + "x" + std::to_string(m.height) + "+" +
            std::to_string(m.x) + "+" + std::to_string(m.y) + "; ";
  }
  return text;
}

namespace {

// Adds a mode to an output's list, or takes it off (XRRAddOutputMode / XRRDeleteOutputMode).
bool ChangeOutputModes(const std::string& display, const std::string& output,
                       const std::string& mode_name, void (*change)(Display*, RROutput, RRMode)) {
  ServerConnection c(display);
  if (!c.d) return false;
  Resources res(c.d);
  RROutput out = res.Output(output);
  RRMode mode = res.Mode(mode_name);
  if (!out || !mode) return false;
  change(c.d, out, mode);
  XSync(c.d, False);
  return true;
}

}  // namespace

bool AddOutputMode(const std::string& display, const std::string& output,
                   const std::string& mode_name) {
  return ChangeOutputModes(display, output, mode_name, XRRAddOutputMode);
}

bool RemoveOutputMode(const std::string& display, const std::string& output,
                      const std::string& mode_name) {
  return ChangeOutputModes(display, output, mode_name, XRRDeleteOutputMode);
}

bool LightMonitorRightOf(const std::string& display, const std::string& output,
                         const std::string& left_output, const std::string& mode_name) {
  if (!AddOutputMode(display, output, mode_name)) return false;
  ServerConnection c(display);
  Resources res(c.d);
  RROutput out = res.Output(output);
  RRMode mode = res.Mode(mode_name);
  const XRRModeInfo* info = res.ModeInfo(mode);
  int left_edge = -1;
  for (const LitMonitor& m : LitMonitors(display)) {
    if (m.output == left_output) left_edge = m.x + m.width;
  }
  if (!out || !info || left_edge < 0) return false;
  const int width = left_edge + static_cast<int>(info->width);
  const int height =
      std::max(DisplayHeight(c.d, DefaultScreen(c.d)), static_cast<int>(info->height));
  XRRSetScreenSize(c.d, c.root(), width, height, width * 254 / 960, height * 254 / 960);
  XRROutputInfo* out_info = XRRGetOutputInfo(c.d, res.r, out);
  bool lit = false;
  for (int i = 0; out_info && i < out_info->ncrtc && !lit; ++i) {
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(c.d, res.r, out_info->crtcs[i]);
    if (crtc && crtc->mode == 0) {
      lit = XRRSetCrtcConfig(c.d, res.r, out_info->crtcs[i], CurrentTime, left_edge, 0, mode,
                             RR_Rotate_0, &out, 1) == RRSetConfigSuccess;
    }
    if (crtc) XRRFreeCrtcInfo(crtc);
  }
  if (out_info) XRRFreeOutputInfo(out_info);
  XSync(c.d, False);
  return lit;
}

bool SetPrimaryOutput(const std::string& display, const std::string& output) {
  ServerConnection c(display);
  if (!c.d) return false;
  Resources res(c.d);
  RROutput out = res.Output(output);
  if (!out) return false;
  XRRSetOutputPrimary(c.d, c.root(), out);
  XSync(c.d, False);
  return true;
}

GameWindow FindGameWindow(const std::string& display, int timeout_ms) {
  GameWindow found;
  ServerConnection c(display);
  if (!c.d) return found;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    Window w = FindClass(c.d, c.root());
    XWindowAttributes a;
    if (w && XGetWindowAttributes(c.d, w, &a) && a.map_state == IsViewable) {
      Window child;
      XTranslateCoordinates(c.d, w, c.root(), 0, 0, &found.x, &found.y, &child);
      found.id = w;
      found.width = a.width;
      found.height = a.height;
      found.override_redirect = a.override_redirect;
      found.full_screen_state = HasAtom(c.d, w, "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN");
      return found;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  return found;
}

bool WaitForFocus(const std::string& display, unsigned long window, int timeout_ms) {
  ServerConnection c(display);
  if (!c.d) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  do {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(c.d, &focus, &revert);
    if (focus == window) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

Blob YellowInWindow(const std::string& display, unsigned long window) {
  Blob blob;
  ServerConnection c(display);
  XWindowAttributes a;
  if (!c.d || !XGetWindowAttributes(c.d, window, &a)) return blob;
  XImage* image = XGetImage(c.d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!image) return blob;
  blob.left = a.width;
  blob.top = a.height;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (r < 200 || g < 190 || b > 120) continue;  // the face's yellow, blended edges aside
      ++blob.count;
      blob.left = std::min(blob.left, x);
      blob.right = std::max(blob.right, x);
      blob.top = std::min(blob.top, y);
      blob.bottom = std::max(blob.bottom, y);
    }
  }
  XDestroyImage(image);
  return blob;
}

bool CursorInvisible(const std::string& display) {
  ServerConnection c(display);
  if (!c.d) return false;
  XFixesCursorImage* cursor = XFixesGetCursorImage(c.d);
  if (!cursor) return false;
  bool invisible = true;
  for (int i = 0; i < cursor->width * cursor->height; ++i) {
    if ((cursor->pixels[i] >> 24) & 0xFF) invisible = false;
  }
  XFree(cursor);
  return invisible;
}

void TypeEscape(const std::string& display) {
  ServerConnection c(display);
  if (!c.d) return;
  const KeyCode escape = XKeysymToKeycode(c.d, XK_Escape);
  XTestFakeKeyEvent(c.d, escape, True, 0);
  XTestFakeKeyEvent(c.d, escape, False, 0);
  XSync(c.d, False);
}

void MovePointerBy(const std::string& display, int dx, int dy) {
  ServerConnection c(display);
  if (!c.d) return;
  XTestFakeRelativeMotionEvent(c.d, dx, dy, 0);
  XSync(c.d, False);
}

void ClickAt(const std::string& display, int x, int y) {
  ServerConnection c(display);
  if (!c.d) return;
  XTestFakeMotionEvent(c.d, DefaultScreen(c.d), x, y, 0);
  XTestFakeButtonEvent(c.d, 1, True, 0);
  XTestFakeButtonEvent(c.d, 1, False, 0);
  XSync(c.d, False);
}

void AskToClose(const std::string& display, unsigned long window) {
  ServerConnection c(display);
  if (!c.d) return;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(c.d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(c.d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(c.d, window, False, NoEventMask, &e);
  XSync(c.d, False);
}
