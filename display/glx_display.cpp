#include "display/glx_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "display/desktop_guard.h"
#include "display/display_math.h"
#include "display/x11_error_trap.h"
#include "display/x11_video_mode.h"
#include "system/clock.h"
#include "system/system_driver.h"

namespace {

constexpr const char* kApplicationTitle = "Quillbox Application";

// What the connection's GLX offers; asked at every open, as the connection may be a new one.
struct GLXState {
  bool glx = false;
  PFNGLXSWAPINTERVALSGIPROC swap_interval = nullptr;
};

GLXState glx_state;
GLXDisplayRecord* current_record = nullptr;
// Leaked on purpose: the exit handlers use it after static destructors may have run.
std::vector<GLXDisplayRecord*>* open_records = new std::vector<GLXDisplayRecord*>();
std::string* last_name_tried = new std::string();

bool QueryGLX(Display* display) {
  glx_state = GLXState{};
  int error_base = 0, event_base = 0, major = 0, minor = 0;
  if (!glXQueryExtension(display, &error_base, &event_base)) return false;
  if (!glXQueryVersion(display, &major, &minor)) return false;
  glx_state.glx = true;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
  if (ExtensionListHas(extensions, "GLX_SGI_swap_control")) {
    glx_state.swap_interval = reinterpret_cast<PFNGLXSWAPINTERVALSGIPROC>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
  }
  return true;
}

XVisualInfo* ChooseVisual(Display* display, int screen, int flags) {
  std::vector<int> attributes{GLX_RGBA};
  if (flags & 2) attributes.push_back(GLX_DOUBLEBUFFER);
  if (flags & 4) attributes.insert(attributes.end(), {GLX_ALPHA_SIZE, 1});
  if (flags & 8) attributes.insert(attributes.end(), {GLX_DEPTH_SIZE, 1});
  if (flags & 16) attributes.insert(attributes.end(), {GLX_STENCIL_SIZE, 1});
  if (flags & 32) {
    attributes.insert(attributes.end(), {GLX_ACCUM_RED_SIZE, 1, GLX_ACCUM_GREEN_SIZE, 1,
                                         GLX_ACCUM_BLUE_SIZE, 1, GLX_ACCUM_ALPHA_SIZE, 1});
  }
  attributes.push_back(None);
  return glXChooseVisual(display, screen, attributes.data());
}

void SetTitle(Display* display, Window window) {
  Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, name, utf8, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(kApplicationTitle),
                  static_cast<int>(std::strlen(kApplicationTitle)));
}

// A window manager may not resize it; the game's picture has one size.
void MakeWindowed(Display* display, Window window, int width, int height) {
  Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &delete_window, 1);
  XSizeHints* hints = XAllocSizeHints();
  if (hints) {
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
}

void WaitForMapNotify(Display* display, Window window) {
  XEvent event;
  do {
    XWindowEvent(display, window, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
}

// The record's connection if it is still the open one; its windows and context are gone with an
// old connection.
Display* LiveDisplay(const GLXDisplayRecord* r) {
  Display* display = XConnection();
  return display && display == r->x_display ? display : nullptr;
}

// Another client may hold a grab for a moment (a menu closing as the game starts): try again for
// up to a second rather than play with the pointer free to leave the window.
void GrabInput(Display* display, Window window) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
        GrabSuccess) {
      break;
    }
    DelayOn(RealClock(), 20);
  }
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (XGrabPointer(display, window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync, window,
                     None, CurrentTime) == GrabSuccess) {
      break;
    }
    DelayOn(RealClock(), 20);
  }
}

void DestroyWindowParts(Display* display, GLXDisplayRecord* r) {
  if (r->context) {
    if (glXGetCurrentContext() == r->context) glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, r->context);
    r->context = nullptr;
  }
  if (r->window) {
    XDestroyWindow(display, r->window);
    r->window = 0;
  }
  if (r->colormap) {
    XFreeColormap(display, r->colormap);
    r->colormap = 0;
  }
}

}  // namespace

std::unique_ptr<GLXDisplayRecord> CreateGLXDisplay(int width, int height, int depth, int hertz,
                                                   int flags) {
  if (width <= 0 || height <= 0) return nullptr;
  Display* display = XConnection();
  if (display) {
    *last_name_tried = DisplayString(display);
  } else {
    const char* name = XDisplayName(nullptr);
    *last_name_tried = name ? name : "";
    display = OpenXConnection(nullptr);
  }
  if (!display) return nullptr;
  GuardDesktopOnce();
  if (!QueryGLX(display)) return nullptr;

  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  XVisualInfo* visual = ChooseVisual(display, screen, flags);
  if (!visual) return nullptr;

  auto r = std::make_unique<GLXDisplayRecord>();
  r->width = width;
  r->height = height;
  r->hertz = hertz;
  r->flags = flags;
  r->x_display = display;
  const bool full_screen = depth != 0;
  if (full_screen) {
    r->kind = kFullScreenDisplay;
    r->mode_switched = SwitchVideoMode(display, screen, width, height, hertz);
    if (r->mode_switched) {
      r->window_width = width;
      r->window_height = height;
    } else {
      // No mode of our size: cover the screen and show the picture scaled.
      r->scaled = true;
      r->window_width = DisplayWidth(display, screen);
      r->window_height = DisplayHeight(display, screen);
    }
  } else {
    r->kind = kWindowedDisplay;
    r->window_width = width;
    r->window_height = height;
  }

  r->colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = r->colormap;
  attributes.border_pixel = 0;
  attributes.background_pixel = 0;  // black until the first frame
  attributes.event_mask = StructureNotifyMask;
  attributes.override_redirect = full_screen ? True : False;
  unsigned long mask = CWColormap | CWBorderPixel | CWBackPixel | CWEventMask | CWOverrideRedirect;
  r->window = XCreateWindow(display, root, 0, 0, r->window_width, r->window_height, 0,
                            visual->depth, InputOutput, visual->visual, mask, &attributes);
  if (!full_screen) MakeWindowed(display, r->window, width, height);

  r->context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (!r->context) {
    DestroyWindowParts(display, r.get());
    if (r->mode_switched) RestoreVideoMode();
    return nullptr;
  }

  XMapRaised(display, r->window);
  if (full_screen) {
    XWarpPointer(display, None, r->window, 0, 0, 0, 0, 0, 0);
    GrabInput(display, r->window);
  }
  glXMakeCurrent(display, r->window, r->context);
  WaitForMapNotify(display, r->window);
  XSelectInput(display, r->window,
               KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   PointerMotionMask | ResizeRedirectMask);

  if (r->scaled) {
    if (!r->presenter.Create(width, height, flags, r->window_width, r->window_height)) {
      XUngrabPointer(display, CurrentTime);
      XUngrabKeyboard(display, CurrentTime);
      DestroyWindowParts(display, r.get());
      XSync(display, False);
      return nullptr;
    }
    // The game reads the pointer relative to its centre; the window's centre stands for it.
    r->pointer_mapping.map =
        CentredMapping{r->window_width / 2, r->window_height / 2, width / 2, height / 2};
    SetPointerMapping(&r->pointer_mapping);
  }
  SetInputWindow(r->window);
  SetTitle(display, r->window);
  current_record = r.get();
  open_records->push_back(r.get());
  PollSystem();
  return r;
}

void CloseGLXDisplay(GLXDisplayRecord* r) {
  if (!r || r->closed) return;
  r->closed = true;
  auto& open = *open_records;
  open.erase(std::remove(open.begin(), open.end(), r), open.end());
  const Window window = r->window;
  Display* display = LiveDisplay(r);
  if (display) {
    if (r->presenter.active() && r->context) {
      // The framebuffer object lives in the context: delete it while that is current.
      glXMakeCurrent(display, r->window, r->context);
      r->presenter.Destroy();
    }
    if (r->kind == kFullScreenDisplay) {
      XUngrabPointer(display, CurrentTime);
      XUngrabKeyboard(display, CurrentTime);
    }
    DestroyWindowParts(display, r);
  }
  // Also when the connection has been closed under the display: then over a new one.
  if (r->mode_switched) RestoreVideoMode();
  r->mode_switched = false;
  if (display) XSync(display, False);
  if (InputWindow() == window) SetInputWindow(0);
  if (r->scaled) SetPointerMapping(nullptr);
  if (current_record == r) current_record = nullptr;
}

void CloseAllGLXDisplays() {
  while (!open_records->empty()) CloseGLXDisplay(open_records->back());
  RestoreVideoMode();
}

void MakeGLXDisplayCurrent(GLXDisplayRecord* r) {
  if (!r || r->closed) {
    Display* display = XConnection();
    if (display && glXGetCurrentContext()) glXMakeCurrent(display, None, nullptr);
    current_record = nullptr;
    return;
  }
  current_record = r;
  Display* display = LiveDisplay(r);
  if (!display) return;
  glXMakeCurrent(display, r->window, r->context);
  if (r->scaled) r->presenter.BindPicture();
  glViewport(0, 0, r->width, r->height);
}

GLXDisplayRecord* CurrentGLXDisplay() { return current_record; }

void FlipGLXDisplay(int sync) {
  GLXDisplayRecord* r = current_record;
  if (!r) return;
  Display* display = LiveDisplay(r);
  if (!display) return;
  int s = sync != 0 ? 1 : 0;
  if (s != r->sync) {
    r->sync = s;
    if (glx_state.swap_interval) glx_state.swap_interval(s);
  }
  if (r->scaled) r->presenter.PresentToWindow();
  glXSwapBuffers(display, r->window);
  if (r->scaled) r->presenter.BindPicture();
  CurrentClock().OnBufferSwap(sync);
  PollSystem();
}

const char* LastGLXDisplayNameTried() { return last_name_tried->c_str(); }
