#include "system/x11_system_driver.h"

#include <X11/Xutil.h>
#include <sys/select.h>

#include <algorithm>

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
  MapGameToWindow(x, y);
  XWarpPointer(display, None, window, 0, 0, 0, 0, x, y);
}

void TLinuxSystemDriver::SetMouseVisible(bool visible) {
  Display* display = XConnection();
  Window window = InputWindow();
  if (!display || !window) return;
  if (visible) {
    XUndefineCursor(display, window);
  } else {
    XDefineCursor(display, window, BlankCursor());
  }
}

void TLinuxSystemDriver::Emit(XEvent& event) {
  static const XlibKeyLookup keys;
  Display* display = XConnection();
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
  if (t.consumed_next) XNextEvent(display, &next);
  for (TEvent& e : t.events) {
    if (CarriesPointer(e.id)) MapWindowToGame(e.x, e.y);
    e.Emit();
  }
}
