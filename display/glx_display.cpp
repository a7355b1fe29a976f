#include "display/glx_display.h"

#include <GL/glxext.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/desktop/desktop_guard.h"
#include "display/desktop/desktop_probe.h"
#include "display/display_math.h"
#include "display/display_request.h"
#include "display/desktop/screen_saver.h"
#include "display/desktop/single_instance.h"
#include "display/desktop/window_identity.h"
#include "display/x11_error_trap.h"
#include "display/x11_video_mode.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/x11_focus.h"

namespace {

// Another client may hold a grab for a moment (a menu closing as the game starts): the grabs are
// tried for about a second before the display settles for the focus alone.
constexpr int kGrabAttempts = 50;
constexpr int kGrabRetryMillis = 20;
// A window manager maps a managed window when it is ready; one that never does must not hang the
// start.
constexpr int kMapTimeoutMillis = 3000;
// Another client holding the keyboard as the game starts is most likely a screen locker: nothing
// is switched or shown until it lets go, and after this long the game gives up.
constexpr int kLockerWaitMillis = 10000;
constexpr int kLockerRetryMillis = 100;
// Focus and crossings are listened to from the start: a window manager focuses a window as it
// maps it, and that FocusIn must not come before anyone listens.
constexpr long kCreationEventMask =
    StructureNotifyMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask;

bool windowed_requested = false;
bool foreign_requested = false;
unsigned long foreign_window = 0;

// What the connection's GLX offers; asked at every open, as the connection may be a new one.
struct GLXState {
  bool glx = false;
  PFNGLXSWAPINTERVALEXTPROC swap_interval_ext = nullptr;
  PFNGLXSWAPINTERVALMESAPROC swap_interval_mesa = nullptr;
  PFNGLXSWAPINTERVALSGIPROC swap_interval_sgi = nullptr;
};

GLXState glx_state;
GLXDisplayRecord* current_record = nullptr;
GLXDisplayRecord* input_record = nullptr;  // the one whose window the input comes from
// Leaked on purpose: the exit handlers use it after static destructors may have run.
std::vector<GLXDisplayRecord*>* open_records = new std::vector<GLXDisplayRecord*>();
std::string* last_name_tried = new std::string();
std::string* last_failure = new std::string();

std::unique_ptr<GLXDisplayRecord> Fail(const std::string& why) {
  *last_failure = why;
  return nullptr;
}

[[noreturn]] void EndWithMessage(const std::string& line) {
  std::fprintf(stderr, "moody: %s\n", line.c_str());
  std::fflush(stderr);
  std::exit(1);
}

template <class F>
F LookUp(const char* name) {
  return reinterpret_cast<F>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

bool QueryGLX(Display* display) {
  glx_state = GLXState{};
  int error_base = 0, event_base = 0, major = 0, minor = 0;
  if (!glXQueryExtension(display, &error_base, &event_base)) return false;
  if (!glXQueryVersion(display, &major, &minor)) return false;
  glx_state.glx = true;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
  if (ExtensionListHas(extensions, "GLX_EXT_swap_control")) {
    glx_state.swap_interval_ext = LookUp<PFNGLXSWAPINTERVALEXTPROC>("glXSwapIntervalEXT");
  }
  if (ExtensionListHas(extensions, "GLX_MESA_swap_control")) {
    glx_state.swap_interval_mesa = LookUp<PFNGLXSWAPINTERVALMESAPROC>("glXSwapIntervalMESA");
  }
  if (ExtensionListHas(extensions, "GLX_SGI_swap_control")) {
    glx_state.swap_interval_sgi = LookUp<PFNGLXSWAPINTERVALSGIPROC>("glXSwapIntervalSGI");
  }
  return true;
}

void SetSwapInterval(Display* display, Window window, int interval) {
  switch (ChooseSwapControl(glx_state.swap_interval_ext != nullptr,
                            glx_state.swap_interval_mesa != nullptr,
                            glx_state.swap_interval_sgi != nullptr, interval)) {
    case SwapControl::kExt:
      glx_state.swap_interval_ext(display, window, interval);
      break;
    case SwapControl::kMesa:
      glx_state.swap_interval_mesa(static_cast<unsigned>(interval));
      break;
    case SwapControl::kSgi:
      glx_state.swap_interval_sgi(interval);
      break;
    case SwapControl::kNone:
      break;  // the soft pacing of Flip(-1) has the final word anyway
  }
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

class XGrabPort : public GrabPort {
 public:
  XGrabPort(Display* display, Window window) : _display(display), _window(window) {}
  bool GrabKeyboard() override {
    return XGrabKeyboard(_display, _window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
           GrabSuccess;
  }
  bool GrabPointer() override {
    return XGrabPointer(_display, _window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                        _window, None, CurrentTime) == GrabSuccess;
  }
  void UngrabKeyboard() override { XUngrabKeyboard(_display, CurrentTime); }
  void UngrabPointer() override { XUngrabPointer(_display, CurrentTime); }

 private:
  Display* _display;
  Window _window;
};

bool WaitForMapNotify(Display* display, Window window, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  XEvent event;
  for (;;) {
    if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) return true;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    poll(&p, 1, static_cast<int>(std::min<long long>(left, 50)));
  }
}

void SelectInput(Display* display, const GLXDisplayRecord* r) {
  long mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
              PointerMotionMask | FocusChangeMask | EnterWindowMask | LeaveWindowMask;
  // An unmanaged window keeps its size; a managed one learns the size it is given.
  mask |= r->style == WindowStyle::kOverrideFullScreen ? ResizeRedirectMask : StructureNotifyMask;
  XSelectInput(display, r->window, mask);
}

// The focus is asked for once the window can take it, where no window manager hands it out.
void AskForFocus(Display* display, Window window) {
  XErrorTrap trap(display);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
}

// The record's connection if it is still the open one; its windows and context are gone with an
// old connection.
Display* LiveDisplay(const GLXDisplayRecord* r) {
  Display* display = XConnection();
  return display && display == r->x_display ? display : nullptr;
}

void UsePresenterMapping(GLXDisplayRecord* r) {
  // The game reads the pointer relative to its centre; the window's centre stands for it.
  r->pointer_mapping.map =
      CentredMapping{r->window_width / 2, r->window_height / 2, r->width / 2, r->height / 2};
  SetPointerMapping(&r->pointer_mapping);
}

void TakeInput(Display* display, GLXDisplayRecord* r, bool mapped) {
  if (r->style == WindowStyle::kOverrideFullScreen) {
    XWarpPointer(display, None, r->window, 0, 0, 0, 0, 0, 0);
  }
  if (mapped && !WindowManagerGivesFocus(display, r->window)) AskForFocus(display, r->window);
  if (r->style == WindowStyle::kWindow) {
    // An ordinary window grabs nothing until it has the focus.
    SetInputFocused(false);
  } else {
    SetInputFocused(
        r->input->TakeAtStart(kGrabAttempts, [] { DelayOn(RealClock(), kGrabRetryMillis); }));
  }
  // Nothing else can be chosen while an unmanaged window covers the monitor.
  SetFocusReclaimed(r->style == WindowStyle::kOverrideFullScreen);
  XSync(display, False);
  NoteFocusFromServer();
}

void OnFocusChange(bool focused) {
  if (input_record && input_record->input) input_record->input->OnFocus(focused);
}

void OnWindowEvent(const XEvent& event) {
  GLXDisplayRecord* r = input_record;
  // A screen saver's window goes away with the saver: nothing is left to draw on.
  if (r && r->kind == kAttachedDisplay && event.type == DestroyNotify &&
      event.xdestroywindow.window == r->window) {
    r->window = 0;
    std::exit(0);
  }
  if (!r || event.type != ConfigureNotify || event.xconfigure.window != r->window) return;
  // Applied after the next swap, so that no frame is split between two surfaces.
  r->resize_pending = true;
  r->pending_width = event.xconfigure.width;
  r->pending_height = event.xconfigure.height;
}

void ApplyPendingResize(GLXDisplayRecord* r) {
  if (!r->resize_pending) return;
  r->resize_pending = false;
  const int w = r->pending_width, h = r->pending_height;
  if (w <= 0 || h <= 0 || (w == r->window_width && h == r->window_height)) return;
  r->window_width = w;
  r->window_height = h;
  if (r->presenter.active()) {
    r->presenter.Resize(w, h);
  } else {
    if (w == r->width && h == r->height) return;
    // Without framebuffer objects the picture stays unscaled in the corner.
    if (!r->presenter.Create(r->width, r->height, r->flags, w, h)) return;
    r->scaled = true;
  }
  UsePresenterMapping(r);
}

void DestroyWindowParts(Display* display, GLXDisplayRecord* r) {
  if (r->context) {
    if (glXGetCurrentContext() == r->context) glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, r->context);
    r->context = nullptr;
  }
  if (r->window && r->kind != kAttachedDisplay) XDestroyWindow(display, r->window);
  r->window = 0;
  if (r->colormap) {
    XFreeColormap(display, r->colormap);
    r->colormap = 0;
  }
}

void StopListening(GLXDisplayRecord* r) {
  if (input_record != r) return;
  input_record = nullptr;
  SetFocusReclaimed(false);
  SetFocusListener(nullptr);
  SetWindowEventListener(nullptr);
}

}  // namespace

void RequestWindowedDisplay(bool windowed) { windowed_requested = windowed; }
bool WindowedDisplayRequested() { return windowed_requested; }
void RequestForeignWindow(unsigned long window) {
  foreign_requested = true;
  foreign_window = window;
}

namespace {

Window attached_window = 0;
XErrorHandler error_handler_before_attaching = nullptr;

// A screen saver may destroy its window as it stops us: the next swap or query fails on it. With
// nothing left to draw on and nothing of the desktop to put back, the program ends quietly.
int OnAttachedWindowError(Display* display, XErrorEvent* error) {
  if (attached_window != 0 && error->resourceid == attached_window) _exit(0);
  return error_handler_before_attaching ? error_handler_before_attaching(display, error) : 0;
}

// Someone else's window (a screen saver's, or the root): a context on its own visual, the picture
// always through the presenter, its size followed, and nothing else of the desktop touched.
std::unique_ptr<GLXDisplayRecord> AttachGLXDisplay(Display* display, int width, int height,
                                                   int hertz, int flags) {
  const std::string name = DisplayString(display);
  const Window window =
      foreign_window ? foreign_window : RootWindow(display, DefaultScreen(display));
  XWindowAttributes attributes{};
  bool exists = false;
  {
    XErrorTrap trap(display);
    exists = XGetWindowAttributes(display, window, &attributes) != 0;
    exists = !trap.Failed() && exists;
  }
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", window);
  if (!exists) EndWithMessage("the X display " + name + " has no window " + id);
  XVisualInfo wanted{};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  int gl = 0, rgba = 0, doubled = 0;
  if (visual) {
    glXGetConfig(display, visual, GLX_USE_GL, &gl);
    glXGetConfig(display, visual, GLX_RGBA, &rgba);
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubled);
  }
  if (!visual || !gl || !rgba) {
    if (visual) XFree(visual);
    return Fail(std::string("the window ") + id + " has no RGBA OpenGL visual");
  }
  auto r = std::make_unique<GLXDisplayRecord>();
  r->kind = kAttachedDisplay;
  r->style = WindowStyle::kWindow;
  r->width = width;
  r->height = height;
  r->hertz = hertz;
  r->flags = flags;
  r->x_display = display;
  r->window = window;
  r->double_buffered = doubled != 0;
  r->window_width = attributes.width;
  r->window_height = attributes.height;
  r->context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (!r->context) return Fail("it cannot make an OpenGL context");
  attached_window = window;
  error_handler_before_attaching = XSetErrorHandler(OnAttachedWindowError);
  glXMakeCurrent(display, window, r->context);
  // Its size is followed; no input is asked of it (the saver keeps that for itself).
  XSelectInput(display, window, StructureNotifyMask);
  if (!r->presenter.Create(width, height, flags, r->window_width, r->window_height)) {
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, r->context);
    return Fail("it cannot show the picture scaled (no OpenGL framebuffer objects)");
  }
  r->scaled = true;
  input_record = r.get();
  SetWindowEventListener(OnWindowEvent);
  // How a screen saver stops its programs: a success, not a death, and nothing to put back.
  EndAtOnceOnSignal(SIGTERM);
  current_record = r.get();
  open_records->push_back(r.get());
  PollSystem();
  return r;
}

}  // namespace

std::unique_ptr<GLXDisplayRecord> CreateGLXDisplay(int width, int height, int depth, int hertz,
                                                   int flags) {
  if (width <= 0 || height <= 0) return nullptr;
  last_failure->clear();
  Display* display = XConnection();
  if (display) {
    *last_name_tried = DisplayString(display);
  } else {
    const char* name = XDisplayName(nullptr);
    *last_name_tried = name ? name : "";
    errno = 0;
    display = OpenXConnection(nullptr);
    if (!display) return Fail(XOpenFailureReason(last_name_tried->c_str(), errno));
  }
  GuardDesktopOnce();
  const std::string name = DisplayString(display);
  if (!QueryGLX(display)) {
    // The display did open: "cannot open display" would send the user looking in the wrong place.
    EndWithMessage("the X display " + name + " has no GLX: an X11 display with GLX is needed");
  }
  if (foreign_requested) return AttachGLXDisplay(display, width, height, hertz, flags);

  const int screen = DefaultScreen(display);
  const bool full_screen = depth != 0 && !windowed_requested;
  // Before anything is changed: the running copy's mode is not the desktop's to remember, and a
  // window would take the focus from under it.
  if (full_screen ? !ClaimDisplayForThisCopy(display, screen)
                  : AnotherCopyRunsFullScreen(display, screen)) {
    EndWithMessage("another copy is already running on the X display " + name);
  }
  const Window root = RootWindow(display, screen);
  XVisualInfo* visual = ChooseVisual(display, screen, flags);
  if (!visual) return Fail("it offers no RGBA double-buffered OpenGL visual");

  auto r = std::make_unique<GLXDisplayRecord>();
  r->width = width;
  r->height = height;
  r->hertz = hertz;
  r->flags = flags;
  r->x_display = display;
  const DesktopFacts facts = ProbeDesktop(display, screen);
  const WindowPlan plan = PlanWindow(facts, !full_screen, width, height);
  r->kind = full_screen ? kFullScreenDisplay : kWindowedDisplay;
  r->style = plan.style;
  r->xwayland = facts.xwayland;
  MonitorRect area = plan.area;
  r->route = plan.route;
  r->monitor = plan.area;
  // A screen locker keeps the keyboard: nothing is switched or raised above it. A full-screen
  // window keeps the grabs from here on (its own take their place), so none can slip in between.
  XGrabPort root_grabs(display, root);
  if (!WaitForTheKeyboard(root_grabs, kLockerWaitMillis / kLockerRetryMillis,
                          [] { DelayOn(RealClock(), kLockerRetryMillis); })) {
    EndWithMessage("the keyboard of the X display " + name +
                   " is held by another program (a screen locker?) and was not let go within " +
                   std::to_string(kLockerWaitMillis / 1000) + " seconds");
  }
  bool root_grabs_held = true;
  auto let_go_of_root = [&] {
    if (!root_grabs_held) return;
    root_grabs.UngrabPointer();
    root_grabs.UngrabKeyboard();
    root_grabs_held = false;
  };
  if (plan.style != WindowStyle::kOverrideFullScreen) let_go_of_root();
  if (plan.route != ModeRoute::kNone) {
    r->mode_switched = SwitchVideoMode(display, screen, plan.route, area, width, height, hertz);
    if (r->mode_switched) area = SwitchedArea(plan.route, area, width, height);
  }
  r->window_x = area.x;
  r->window_y = area.y;
  r->window_width = area.width;
  r->window_height = area.height;

  r->colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = r->colormap;
  attributes.border_pixel = 0;
  attributes.background_pixel = 0;  // black until the first frame
  attributes.event_mask = kCreationEventMask;
  attributes.override_redirect = plan.style == WindowStyle::kOverrideFullScreen ? True : False;
  unsigned long mask = CWColormap | CWBorderPixel | CWBackPixel | CWEventMask | CWOverrideRedirect;
  r->window = XCreateWindow(display, root, area.x, area.y, area.width, area.height, 0,
                            visual->depth, InputOutput, visual->visual, mask, &attributes);
  SetWindowIdentity(display, r->window, full_screen);
  if (plan.style == WindowStyle::kManagedFullScreen) AskForFullScreen(display, r->window);
  if (plan.style == WindowStyle::kWindow) SetWindowSizeHints(display, r->window, width, height);

  r->context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  if (!r->context) {
    let_go_of_root();
    DestroyWindowParts(display, r.get());
    if (r->mode_switched) RestoreVideoMode();
    return Fail("it cannot make an OpenGL context");
  }

  XMapRaised(display, r->window);
  const bool mapped = WaitForMapNotify(display, r->window, kMapTimeoutMillis);
  glXMakeCurrent(display, r->window, r->context);
  SelectInput(display, r.get());

  if (r->window_width != width || r->window_height != height) {
    if (!r->presenter.Create(width, height, flags, r->window_width, r->window_height)) {
      let_go_of_root();
      DestroyWindowParts(display, r.get());
      XSync(display, False);
      if (r->mode_switched) RestoreVideoMode();
      return Fail("it cannot show the picture scaled (no OpenGL framebuffer objects)");
    }
    r->scaled = true;
    UsePresenterMapping(r.get());
  }
  SetInputWindow(r->window);
  r->grab_port = std::make_unique<XGrabPort>(display, r->window);
  r->input = std::make_unique<InputOwnership>(*r->grab_port, plan.grab_keyboard, plan.grab_pointer);
  input_record = r.get();
  SetFocusListener(OnFocusChange);
  SetWindowEventListener(OnWindowEvent);
  TakeInput(display, r.get(), mapped);
  if (root_grabs_held) {  // what the window's own grabs did not take over is let go
    if (!r->input->keyboard_held()) root_grabs.UngrabKeyboard();
    if (!r->input->pointer_held()) root_grabs.UngrabPointer();
  }
  r->screen_saver_suspended = SuspendScreenSaver(display);

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
  StopListening(r);
  const Window window = r->window;
  Display* display = LiveDisplay(r);
  // Someone else's window may be gone already: its errors end nothing.
  std::unique_ptr<XErrorTrap> trap;
  if (display && r->kind == kAttachedDisplay) trap = std::make_unique<XErrorTrap>(display);
  if (display) {
    if (r->presenter.active() && r->context) {
      // The framebuffer object lives in the context: delete it while that is current.
      glXMakeCurrent(display, r->window, r->context);
      r->presenter.Destroy();
    }
    if (r->input) r->input->ReleaseAll();
    if (r->screen_saver_suspended) ResumeScreenSaver(display);
    DestroyWindowParts(display, r);
  }
  // Also when the connection has been closed under the display: then over a new one.
  if (r->mode_switched) RestoreVideoMode();
  r->mode_switched = false;
  if (display) XSync(display, False);
  trap.reset();
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
    SetSwapInterval(display, r->window, s);
  }
  if (r->scaled) r->presenter.PresentToWindow();
  if (r->double_buffered) {
    glXSwapBuffers(display, r->window);
  } else {
    glFlush();
  }
  ApplyPendingResize(r);
  if (r->scaled) r->presenter.BindPicture();
  if (r->input) r->input->OnFlip();
  CurrentClock().OnBufferSwap(sync);
  PollSystem();
}

const char* LastGLXDisplayNameTried() { return last_name_tried->c_str(); }
const char* LastGLXDisplayFailure() { return last_failure->c_str(); }

void SuspendGLXDisplay() {
  GLXDisplayRecord* r = input_record;
  // Someone else's window has nothing of ours to give back.
  if (!r || r->closed || r->suspended || r->kind == kAttachedDisplay) return;
  Display* display = LiveDisplay(r);
  if (!display) return;
  r->suspended = true;
  if (r->input) r->input->ReleaseAll();
  XUndefineCursor(display, r->window);
  if (r->mode_switched) RestoreVideoMode();
  XSync(display, False);
}

void ResumeGLXDisplay() {
  GLXDisplayRecord* r = input_record;
  if (!r || r->closed || !r->suspended) return;
  Display* display = LiveDisplay(r);
  if (!display) return;
  r->suspended = false;
  if (r->mode_switched) {
    r->mode_switched = SwitchVideoMode(display, DefaultScreen(display), r->route, r->monitor,
                                       r->width, r->height, r->hertz);
  }
  XMapRaised(display, r->window);
  if (r->style != WindowStyle::kWindow) {
    // The full-screen game always hides the system pointer behind its own.
    XDefineCursor(display, r->window, BlankCursor());
    AskForFocus(display, r->window);
    if (r->input) {
      r->input->TakeAtStart(kGrabAttempts, [] { DelayOn(RealClock(), kGrabRetryMillis); });
    }
  }
  XSync(display, False);
}
