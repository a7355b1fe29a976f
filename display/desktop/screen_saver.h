#pragma once
// The screen saver stays away while the game plays (the game takes no keys that would keep it
// away). The server ends a suspension by itself when the connection closes; the display resumes
// it explicitly on every close of its own.
#include <X11/Xlib.h>

// False if the server has no MIT-SCREEN-SAVER 1.1.
bool SuspendScreenSaver(Display* display);
void ResumeScreenSaver(Display* display);
