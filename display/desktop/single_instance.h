#pragma once
// One copy of the game per display while one runs full screen: that copy owns the selection
// _MOODY_RUNNING_S<screen> through a window of its connection, so the claim disappears with that
// connection, however the copy ends. Copies in a window claim nothing and may run side by side.
#include <X11/Xlib.h>

#include <string>

std::string SingleInstanceSelectionName(int screen);

// Claims the display for this process (again, on a new connection). False if another client
// owns the claim; a claim this process already holds on `display` counts as had.
bool ClaimDisplayForThisCopy(Display* display, int screen);

// Whether a copy (other than this process) runs full screen on the display.
bool AnotherCopyRunsFullScreen(Display* display, int screen);
