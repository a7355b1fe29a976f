#pragma once
// The XFree86 video-mode extension: switching the screen to the game's mode and putting the
// desktop's mode back. One switch at a time for the process.
#include <X11/Xlib.h>

// Saves the desktop mode and switches to the width x height mode (at `hertz` if there is one),
// with the viewport at (0, 0). False, with nothing changed, when the server has no VidMode, no
// such mode, or refuses the switch.
bool SwitchVideoMode(Display* display, int screen, int width, int height, int hertz);

// Switches back to the saved desktop mode (viewport (0, 0)) if a switch is in force.
void RestoreVideoMode();
bool VideoModeSwitched();

// The connection is gone: restores the desktop mode over a new connection to the same display,
// if a switch was in force and the server still answers. Safe to call from the I/O error handler.
void RestoreVideoModeOnNewConnection();
