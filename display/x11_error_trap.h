#pragma once
// Catches the X errors of a few requests instead of letting Xlib's default handler end the
// process: the display falls back when the server refuses something.
#include <X11/Xlib.h>

class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);  // earlier errors still go to the previous handler
  ~XErrorTrap();                          // restores the previous handler
  bool Failed();                          // syncs, then tells whether any trapped request failed
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

 private:
  Display* _display;
  int (*_previous)(Display*, XErrorEvent*);
  bool _outer_failed;
};
