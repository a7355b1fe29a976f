#pragma once
// How the game's window introduces itself to window managers, task bars and compositors: its
// name, class, process, icon, and for the full-screen window that it wants full screen and no
// compositing.
#include <X11/Xlib.h>

constexpr const char* kWindowTitle = "moody";
constexpr const char* kWindowClassName = "moody";
constexpr const char* kWindowClass = "Moody";

// Title (WM_NAME and _NET_WM_NAME), WM_CLASS, WM_CLIENT_MACHINE with _NET_WM_PID, _NET_WM_ICON,
// the WM_DELETE_WINDOW protocol; on a full-screen window _NET_WM_BYPASS_COMPOSITOR as well.
void SetWindowIdentity(Display* display, Window window, bool full_screen);

// Before mapping a managed window: asks the window manager for full screen.
void AskForFullScreen(Display* display, Window window);

// For an ordinary window: its first size, and how small it may be made.
void SetWindowSizeHints(Display* display, Window window, int width, int height);
