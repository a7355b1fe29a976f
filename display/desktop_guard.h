#pragma once
// The desktop's video mode must come back on every way out: normal exit (and exit(0) on
// Escape, or the window closed), SIGINT, SIGTERM, SIGHUP, and a lost X connection.
void GuardDesktopOnce();
