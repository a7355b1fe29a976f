#include "system/x11_focus.h"

#include <string>

namespace {
int IgnoreXError(Display*, XErrorEvent*) { return 0; }
}  // namespace

FocusHolder AskWhoHoldsTheFocus(Display* display, Window ours) {
  FocusFacts facts;
  int revert = 0;
  XGetInputFocus(display, &facts.focus, &revert);
  facts.ours = ours;
  const int screen = DefaultScreen(display);
  facts.root = RootWindow(display, screen);
  facts.screen_width = DisplayWidth(display, screen);
  facts.screen_height = DisplayHeight(display, screen);
  if (facts.focus != ours && facts.focus != facts.root && facts.focus > PointerRoot) {
    // The focus window may be gone by the time we ask: then nobody has it.
    XSync(display, False);
    auto previous = XSetErrorHandler(IgnoreXError);
    XWindowAttributes a;
    Window child = 0;
    if (XGetWindowAttributes(display, facts.focus, &a) &&
        XTranslateCoordinates(display, facts.focus, facts.root, 0, 0, &facts.x, &facts.y, &child)) {
      facts.viewable = a.map_state == IsViewable;
      facts.width = a.width;
      facts.height = a.height;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
  }
  return HolderOfFocus(facts);
}

bool WindowManagerGivesFocus(Display* display, Window window) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(display, window, &a) || a.override_redirect) return false;
  const std::string selection = "WM_S" + std::to_string(XScreenNumberOfScreen(a.screen));
  return XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != None;
}
