#pragma once
// How the player asked to see the game, decided before the display opens (command line,
// environment). The game itself always asks for its full-screen 800x600 display.

// A full-screen request then opens an ordinary window of the requested size instead: no mode
// switch, no grabs while it lacks the focus.
void RequestWindowedDisplay(bool windowed);
bool WindowedDisplayRequested();
