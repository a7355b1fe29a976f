#pragma once
// The desktop's video mode must come back on every way out: normal exit (and exit(0) on
// Escape), SIGINT, SIGTERM, SIGHUP, and a lost X connection.
void GuardDesktopOnce();
