#include "display/desktop/single_instance.h"

namespace {
Display* claimed_on = nullptr;
Window owner_window = 0;
}  // namespace

std::string SingleInstanceSelectionName(int screen) {
  return "_MOODY_RUNNING_S" + std::to_string(screen);
}

bool ClaimDisplayForThisCopy(Display* display, int screen) {
  const Atom selection = XInternAtom(display, SingleInstanceSelectionName(screen).c_str(), False);
  if (claimed_on == display && owner_window &&
      XGetSelectionOwner(display, selection) == owner_window) {
    return true;
  }
  XSetWindowAttributes attributes{};
  const Window window = XCreateWindow(display, RootWindow(display, screen), -1, -1, 1, 1, 0, 0,
                                      InputOnly, CopyFromParent, 0, &attributes);
  // Two copies started at the same moment: the look and the claim are one step for the server.
  XGrabServer(display);
  const bool free = XGetSelectionOwner(display, selection) == None;
  if (free) XSetSelectionOwner(display, selection, window, CurrentTime);
  XUngrabServer(display);
  XSync(display, False);
  if (!free) {
    XDestroyWindow(display, window);
    XSync(display, False);
    return false;
  }
  claimed_on = display;
  owner_window = window;
  return true;
}

bool AnotherCopyRunsFullScreen(Display* display, int screen) {
  const Atom selection = XInternAtom(display, SingleInstanceSelectionName(screen).c_str(), False);
  const Window owner = XGetSelectionOwner(display, selection);
  return owner != None && !(claimed_on == display && owner == owner_window);
}
