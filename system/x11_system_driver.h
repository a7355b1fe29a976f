#pragma once
// The real system driver over Xlib: pumps the X connection, waits on it and on the wake-up pipe,
// warps and hides the pointer. The connection and the input window are shared with the display.
#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "system/system_driver.h"

// The process's X connection (opened with XInitThreads first) or nullptr if it cannot be opened.
// `name` nullptr means $DISPLAY. Opening twice returns the same connection.
Display* OpenXConnection(const char* name = nullptr);
Display* XConnection();
// Why a connection to `name` could not be opened, from the errno XOpenDisplay left: no name, no
// server answering there (the system's reason), or a server that refused us.
std::string XOpenFailureReason(const char* name, int error);
void CloseXConnection();
void SetInputWindow(Window window);
Window InputWindow();

// Maps pointer coordinates between the window and the picture the game sees (the identity,
// unless the display presents the picture scaled in a larger window).
struct PointerMapping {
  virtual ~PointerMapping() = default;
  virtual void WindowToGame(int& x, int& y) const = 0;
  virtual void GameToWindow(int& x, int& y) const = 0;
};
void SetPointerMapping(const PointerMapping* mapping);  // nullptr: identity
void MapWindowToGame(int& x, int& y);                   // through the current mapping
void MapGameToWindow(int& x, int& y);
// An invisible 8x8 cursor on the current connection, made on first use (None without one).
Cursor BlankCursor();

// Whether the input window has the keyboard focus. While it has not, the pointer belongs to the
// rest of the desktop: MoveMouse does not warp it (the game reads it where it asked it to be),
// pointer motion and clicks over the window are not the game's, and the system pointer shows. A
// click on the window asks for the focus back (unless a window manager gives it). On by default;
// the display says otherwise for a window that must wait for the window manager's focus.
void SetInputFocused(bool focused);
bool InputFocused();
// Marks the input window focused (with the listener told) if the server says it has the focus:
// at start, and after a click on an unfocused window.
void NoteFocusFromServer();
// On for a window that covers everything: a focus that moves to nobody (a window manager
// restarting, or focusing "nothing") is taken back at once rather than lost, and only another
// window taking it counts as a loss. Off by default.
void SetFocusReclaimed(bool reclaim);
// Called on the main thread, from the pump, when the input window gains or loses the focus.
void SetFocusListener(std::function<void(bool focused)> listener);
// Sees every event before it is translated and picks its window's (its size, its mapping): the
// input window's, or a window drawn into without taking input from it.
void SetWindowEventListener(std::function<void(const XEvent& event)> listener);
// Runs after the pump that brought the window manager's close request for the input window.
void SetWindowCloseHandler(std::function<void()> handler);

class TLinuxSystemDriver : public TSystemDriver {
 public:
  void Poll() override;
  void Wait() override;
  void MoveMouse(int x, int y) override;
  void SetMouseVisible(bool visible) override;
  void Emit(XEvent& event);  // translate one X event and emit the result
};
