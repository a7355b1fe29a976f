#include "system/x11_system_driver.h"

#include <X11/Xutil.h>
#include <sys/select.h>

#include <algorithm>
#include <utility>

#include "system/polled_input.h"
#include "system/x11_focus.h"
#include "system/x11_pointer_motion.h"
#include "system/x11_translate.h"

namespace {
struct XlibKeyLookup : KeyLookup {
  KeySym Unshifted(XKeyEvent& event) const override { return XLookupKeysym(&event, 0); }
  std::string Chars(XKeyEvent& event) const override {
    char buffer[16];
    KeySym keysym;
    int n = XLookupString(&event, buffer, 15, &keysym, nullptr);
    return std::string(buffer, n > 0 ? n : 0);
  }
};

// Leaked on purpose: the exit handlers may pump after static destructors have run.
auto* focus_listener = new std::function<void(bool)>();
auto* window_event_listener = new std::function<void(const XEvent&)>();
auto* window_close_handler = new std::function<void()>();
bool close_requested = false;
bool reclaim_focus = false;                  // a focus that goes to nobody is taken back
bool pointer_hidden = false;                 // what the game asked for
int game_pointer_x = 0, game_pointer_y = 0;  // where the game last put the pointer

// Where the pointer is in our window, as far as the server has told us (or we put it). The game
// puts the pointer back in the centre every frame; when it is there already, a warp would only
// bring back a motion event to read.
struct PointerSeen {
  Window window = 0;  // 0: not known
  int x = 0, y = 0;
} pointer_seen;

PointerMotion* pointer_motion = new PointerMotion();  // leaked, as the listeners above

// A position reported on another window or screen says nothing of ours.
void NotePointerAt(Window reported_on, bool same_screen, int x, int y, Window window) {
  pointer_seen = reported_on == window && same_screen ? PointerSeen{window, x, y} : PointerSeen{};
}

void NotePointerEvent(const XEvent& event, Window window) {
  switch (event.type) {
    case MotionNotify: {
      const XMotionEvent& m = event.xmotion;
      NotePointerAt(m.window, m.same_screen, m.x, m.y, window);
      break;
    }
    case ButtonPress:
    case ButtonRelease: {
      const XButtonEvent& b = event.xbutton;
      NotePointerAt(b.window, b.same_screen, b.x, b.y, window);
      break;
    }
    case EnterNotify:
    case LeaveNotify:
    case FocusIn:
    case FocusOut:
      pointer_seen.window = 0;  // crossings and grabs: ask the server again
      pointer_motion->Forget();
      break;
    default:
      break;
  }
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Asks for the focus; the window may have gone meanwhile, which is no error of ours.
void TakeFocus(Display* display, Window window) {
  XSync(display, False);
  auto previous = XSetErrorHandler(IgnoreXError);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  XSetErrorHandler(previous);
}

void WarpToGamePointer(Display* display, Window window) {
  int x = game_pointer_x, y = game_pointer_y;
  MapGameToWindow(x, y);
  pointer_motion->Warped(NextRequest(display), x, y);
  XWarpPointer(display, None, window, 0, 0, 0, 0, x, y);
  pointer_seen.window = 0;
}

// A FocusOut of a grab or ungrab comes with its FocusIn when the grab was ours; both are sent at
// once, so after a round trip the partner is queued if there is one.
bool FocusPartnerQueued(Display* display, const XEvent& event, XEvent* next) {
  const int mode = event.xfocus.mode;
  if (event.type != FocusOut || (mode != NotifyGrab && mode != NotifyUngrab)) return false;
  if (XEventsQueued(display, QueuedAfterReading) == 0) XSync(display, False);
  if (XEventsQueued(display, QueuedAlready) == 0) return false;
  XPeekEvent(display, next);
  return true;
}

void ApplyFocusChange(Display* display, Window window, FocusChange change) {
  if (change == FocusChange::kLost && InputFocused()) {
    SetInputFocused(false);
    XUndefineCursor(display, window);
    if (*focus_listener) (*focus_listener)(false);
  } else if (change == FocusChange::kGained && !InputFocused()) {
    SetInputFocused(true);
    if (pointer_hidden) XDefineCursor(display, window, BlankCursor());
    if (*focus_listener) (*focus_listener)(true);
    // Back where the game left it, so that the way the pointer came in is not a motion.
    WarpToGamePointer(display, window);
  }
  // The rest of the desktop has its pointer and keyboard back before anything else happens.
  if (change != FocusChange::kNone) XSync(display, False);
}

// A focus that moved away from the window: lost only if another window took it. One that went
// to nobody (a window manager restarting) is lost for a window the user could have left, and
// taken back at once for one that covers everything.
FocusChange WhereTheFocusWent(Display* display, Window window) {
  switch (AskWhoHoldsTheFocus(display, window)) {
    case FocusHolder::kUs:
      return FocusChange::kNone;  // it has come back already
    case FocusHolder::kNobody:
      if (!reclaim_focus) return FocusChange::kLost;
      TakeFocus(display, window);
      return FocusChange::kNone;
    case FocusHolder::kAnotherWindow:
      break;
  }
  return FocusChange::kLost;
}

bool FocusMoved(const XFocusChangeEvent& event) {
  return event.type == FocusOut && (event.mode == NotifyNormal || event.mode == NotifyWhileGrabbed);
}

// Events that carry the pointer position in window pixels.
bool CarriesPointer(int id) {
  switch (id) {
    case EventId::KeyDown:
    case EventId::KeyUp:
    case EventId::KeyRepeat:
    case EventId::MouseDown:
    case EventId::MouseUp:
    case EventId::MouseMove:
    case EventId::MouseWheel:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TLinuxSystemDriver::Poll() {
  if (Display* display = XConnection()) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      Emit(event);
    }
  }
  RunPostedOperations();
  CheckExitRequest();
  if (close_requested) {
    close_requested = false;
    if (*window_close_handler) (*window_close_handler)();
  }
}

void TLinuxSystemDriver::Wait() {
  Display* display = XConnection();
  // Xlib may already hold events it has read; select() would not see those.
  bool ready = PostedOperationsPending() || (display && XPending(display) > 0);
  if (!ready) {
    fd_set readable;
    FD_ZERO(&readable);
    int max_fd = -1;
    int pipe_fd = WakeUpFd();
    if (pipe_fd >= 0) {
      FD_SET(pipe_fd, &readable);
      max_fd = pipe_fd;
    }
    if (display) {
      int x_fd = ConnectionNumber(display);
      FD_SET(x_fd, &readable);
      max_fd = std::max(max_fd, x_fd);
    }
    timeval timeout{10, 0};
    // Interrupted by a signal or timed out: either way, pump what there is.
    select(max_fd + 1, &readable, nullptr, nullptr, &timeout);
  }
  Poll();
}

void TLinuxSystemDriver::MoveMouse(int x, int y) {
  Display* display = XConnection();
  Window window = InputWindow();
  if (!display || !window) return;
  game_pointer_x = x;
  game_pointer_y = y;
  if (!InputFocused()) {
    // The pointer is the desktop's now: the game sees it where it asked, and nothing moves.
    TEvent::Create(EventId::MouseMove, nullptr, 0, 0, x, y).Emit();
    return;
  }
  MapGameToWindow(x, y);
  if (pointer_seen.window == window && pointer_seen.x == x && pointer_seen.y == y) return;
  pointer_motion->Warped(NextRequest(display), x, y);
  XWarpPointer(display, None, window, 0, 0, 0, 0, x, y);
  // A motion made before the warp but read after it puts this right again.
  pointer_seen = {window, x, y};
}

void TLinuxSystemDriver::SetMouseVisible(bool visible) {
  Display* display = XConnection();
  Window window = InputWindow();
  if (!display || !window) return;
  pointer_hidden = !visible;
  // The next warp is made whatever was seen: the start-up's warp after hiding must not be skipped
  // (under Xwayland a warp made while the pointer shows is undone by the compositor's next
  // report, and motion comes relative only from a warp made with the pointer hidden).
  pointer_seen.window = 0;
  if (visible || !InputFocused()) {
    XUndefineCursor(display, window);
  } else {
    XDefineCursor(display, window, BlankCursor());
  }
}

void TLinuxSystemDriver::Emit(XEvent& event) {
  static const XlibKeyLookup keys;
  Display* display = XConnection();
  const Window window = InputWindow();
  NotePointerEvent(event, window);
  if (*window_event_listener) (*window_event_listener)(event);
  if (display && window && event.xany.window == window) {
    if (event.type == FocusIn || event.type == FocusOut) {
      XEvent next;
      const bool has_next = FocusPartnerQueued(display, event, &next);
      FocusClassification c = ClassifyFocusEvent(event.xfocus, has_next ? &next : nullptr);
      if (c.consumed_next) XNextEvent(display, &next);
      if (c.change == FocusChange::kLost && FocusMoved(event.xfocus)) {
        c.change = WhereTheFocusWent(display, window);
      }
      ApplyFocusChange(display, window, c.change);
      return;
    }
  }
  if (!InputFocused()) {
    switch (event.type) {
      case ButtonPress:
        if (display && window && event.xbutton.window == window) {
          // A window manager focuses the window it is clicked in, and may undo a focus we set.
          if (!WindowManagerGivesFocus(display, window)) TakeFocus(display, window);
          NoteFocusFromServer();
        }
        return;
      case ButtonRelease:
      case MotionNotify:
        return;
      default:
        break;
    }
  }
  XEvent next;
  bool has_next = false;
  if (display && event.type == KeyRelease && XEventsQueued(display, QueuedAfterReading) > 0) {
    XPeekEvent(display, &next);
    has_next = true;
  }
  // Looked up only for the rare client message, on the connection the event came from.
  Atom delete_window =
      display && event.type == ClientMessage ? XInternAtom(display, "WM_DELETE_WINDOW", False) : 0;
  Translation t = TranslateXEvent(event, has_next ? &next : nullptr, keys, delete_window);
  if (delete_window != 0 && event.xclient.window == window && !t.events.empty()) {
    close_requested = true;
  }
  if (t.consumed_next) XNextEvent(display, &next);
  for (TEvent& e : t.events) {
    if (e.id == EventId::MouseMove && event.type == MotionNotify && event.xmotion.window == window &&
        event.xmotion.same_screen) {
      // Reported as the motion it is, from where the game's pointer is now.
      int dx = 0, dy = 0, x = 0, y = 0;
      pointer_motion->Reported(event.xmotion.serial, event.xmotion.x, event.xmotion.y, &dx, &dy);
      LivePointer(&x, &y);
      e.x = x + dx;
      e.y = y + dy;
    } else if (CarriesPointer(e.id)) {
      MapWindowToGame(e.x, e.y);
    }
    e.Emit();
  }
}

void NoteFocusFromServer() {
  Display* display = XConnection();
  const Window window = InputWindow();
  if (!display || !window || InputFocused()) return;
  // Asking for a focus the window has already brings no FocusIn, and one that came before the
  // window listened is gone: the server's answer is what counts.
  if (AskWhoHoldsTheFocus(display, window) == FocusHolder::kUs) {
    ApplyFocusChange(display, window, FocusChange::kGained);
  }
}

void SetFocusReclaimed(bool reclaim) { reclaim_focus = reclaim; }

void SetFocusListener(std::function<void(bool)> listener) { *focus_listener = std::move(listener); }

void SetWindowEventListener(std::function<void(const XEvent&)> listener) {
  *window_event_listener = std::move(listener);
}

void SetWindowCloseHandler(std::function<void()> handler) {
  *window_close_handler = std::move(handler);
}
