#pragma once
// The desktop's video mode must come back on every way out: normal exit (and exit(0) on
// Escape, or the window closed), every terminating signal that can be caught (through the same
// orderly end on the main thread, then the signal's own course), a crash (the watchdog restores
// before the fault takes its course), a lost X connection, and SIGKILL (the watchdog, on its
// own). SIGPIPE is ignored. SIGTSTP gives the desktop back while the game is stopped.
void GuardDesktopOnce();

// A signal that is the expected way to end while nothing of the desktop needs putting back (a
// screen saver's SIGTERM): the process exits with status 0 from the handler itself, at once,
// whatever the main thread is doing.
void EndAtOnceOnSignal(int signo);
