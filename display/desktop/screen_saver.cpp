#include "display/desktop/screen_saver.h"

#include <X11/extensions/scrnsaver.h>

namespace {
bool Available(Display* display) {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  return XScreenSaverQueryExtension(display, &event_base, &error_base) &&
         XScreenSaverQueryVersion(display, &major, &minor) &&
         (major > 1 || (major == 1 && minor >= 1));
}
}  // namespace

bool SuspendScreenSaver(Display* display) {
  if (!Available(display)) return false;
  XScreenSaverSuspend(display, True);
  return true;
}

void ResumeScreenSaver(Display* display) {
  if (Available(display)) XScreenSaverSuspend(display, False);
}
