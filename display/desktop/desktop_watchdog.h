#pragma once
// A watchdog for the desktop's video configuration: a child process, started before the first
// mode change, that keeps a copy of the snapshot and puts it back over a connection of its own
// when the game's process ends without having done so itself (killed, crashed). It learns of the
// end from its end of a socket going to EOF, and from the parent-death signal as a second way.
// After a clean restore it has nothing to do and leaves quietly when the game does.
#include <sys/types.h>

#include "display/desktop/desktop_snapshot.h"

// Forks the watchdog once per process, holding `snapshot`. False if it could not be started
// (the game then goes on without it). Later calls do nothing and return whether one runs.
bool StartDesktopWatchdog(const DesktopSnapshot& snapshot);

// The desktop differs from the snapshot from now on (armed) or has been put back (disarmed).
// Only an armed watchdog restores.
void ArmDesktopWatchdog(bool armed);

// For a crashing process: asks the watchdog to restore at once and waits up to `timeout_ms` for
// it to report back. Async-signal-safe. False without a watchdog or without an answer.
bool DesktopWatchdogRestoreNow(int timeout_ms);

pid_t DesktopWatchdogPid();  // -1 if none runs
