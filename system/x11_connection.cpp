// The process's X connection and what belongs to it: the input window, the blank cursor and the
// pointer mapping. Everything here runs on the main thread.
#include <cerrno>
#include <cstring>
#include <mutex>

#include "system/x11_system_driver.h"

namespace {
Display* display = nullptr;
Window input_window = 0;
Cursor blank_cursor = 0;
const PointerMapping* mapping = nullptr;
bool input_focused = true;
}  // namespace

Display* OpenXConnection(const char* name) {
  if (display) return display;
  // Xlib must be made thread-aware before its first connection.
  static std::once_flag threads_once;
  std::call_once(threads_once, [] { XInitThreads(); });
  display = XOpenDisplay(name);
  return display;
}

Display* XConnection() { return display; }

std::string XOpenFailureReason(const char* name, int error) {
  if (name == nullptr || *name == '\0') return "DISPLAY is not set";
  switch (error) {
    case 0:  // nothing was tried: the name said nothing Xlib could use
      return "no such display (not a display name, or an unknown host)";
    case ECONNREFUSED:
    case ENOENT:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EACCES:
      return std::strerror(error);
    default:  // the server answered and said no; Xlib has printed its reason above
      return "the X server refused the connection";
  }
}

void CloseXConnection() {
  if (!display) return;
  if (blank_cursor) XFreeCursor(display, blank_cursor);
  XCloseDisplay(display);
  display = nullptr;
  input_window = 0;
  blank_cursor = 0;
  input_focused = true;
}

void SetInputWindow(Window window) {
  // A new window starts from the default; the display says if it must wait for the focus.
  if (window != input_window) input_focused = true;
  input_window = window;
}
Window InputWindow() { return input_window; }

void SetPointerMapping(const PointerMapping* m) { mapping = m; }

void MapWindowToGame(int& x, int& y) {
  if (mapping) mapping->WindowToGame(x, y);
}

void MapGameToWindow(int& x, int& y) {
  if (mapping) mapping->GameToWindow(x, y);
}

Cursor BlankCursor() {
  if (!display) return 0;
  if (!blank_cursor) {
    static const char zeros[8] = {};
    Window root = DefaultRootWindow(display);
    Pixmap bitmap = XCreateBitmapFromData(display, input_window ? input_window : root, zeros, 8, 8);
    XColor black{};
    blank_cursor = XCreatePixmapCursor(display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(display, bitmap);
  }
  return blank_cursor;
}

void SetInputFocused(bool focused) { input_focused = focused; }
bool InputFocused() { return input_focused; }
