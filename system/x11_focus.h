#pragma once
// What the server says of the keyboard focus: who holds it now, and whether a window manager is
// the one to hand it to a window.
#include <X11/Xlib.h>

#include "system/x11_translate.h"

FocusHolder AskWhoHoldsTheFocus(Display* display, Window ours);

// True for a window the window manager manages while one runs (it owns WM_S<screen>): such a
// window is given the focus by the window manager, which may undo a focus the client sets itself.
// False for an unmanaged (override-redirect) window, or without a window manager.
bool WindowManagerGivesFocus(Display* display, Window window);
