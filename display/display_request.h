#pragma once
// How the player asked to see the game, decided before the display opens (command line,
// environment). The game itself always asks for its full-screen 800x600 display.

// A full-screen request then opens an ordinary window of the requested size instead: no mode
// switch, no grabs while it lacks the focus.
void RequestWindowedDisplay(bool windowed);
bool WindowedDisplayRequested();

// The demo as a screen saver: the picture drawn into another program's window (0: the root
// window), scaled with its aspect kept. Nothing of the desktop is touched: no mode switch, no
// grabs, no pointer hidden or moved, no window of its own; SIGTERM ends it with status 0.
void RequestForeignWindow(unsigned long window);
