#pragma once
// Switching the game monitor to the game's mode and putting the desktop back. The desktop's
// configuration is snapshotted once, before the first change the process makes, and every
// restore goes back to exactly that snapshot. One switch at a time for the process.
#include <X11/Xlib.h>

#include "display/desktop/desktop_plan.h"
#include "display/desktop/desktop_snapshot.h"

// Switches to the width x height mode (at `hertz` if there is one) the route's way: VidMode with
// the viewport at (0, 0), or the CRTC showing `monitor` alone through RandR, keeping its
// position, rotation and outputs (never turning a CRTC off). False, with nothing changed, when
// the route is kNone, the server has no such mode, or it refuses the switch.
bool SwitchVideoMode(Display* display, int screen, ModeRoute route, const MonitorRect& monitor,
                     int width, int height, int hertz);

// Puts the snapshot back if a switch is in force.
void RestoreVideoMode();
bool VideoModeSwitched();

// The connection is gone: restores the snapshot over a new connection to the same display, if a
// switch was in force and the server still answers. Safe to call from the I/O error handler.
void RestoreVideoModeOnNewConnection();

// The snapshot taken before the first switch; nullptr if the process has switched nothing.
const DesktopSnapshot* DesktopSnapshotTaken();
