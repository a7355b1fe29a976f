#pragma once
// Asks the X server what kind of desktop it is: Xwayland or not, which extensions can change the
// video mode, and where the monitors are.
#include <X11/Xlib.h>

#include "display/desktop/desktop_plan.h"

DesktopFacts ProbeDesktop(Display* display, int screen);
