#pragma once
// Polled keyboard and mouse state, kept up to date by a listener on the emit-event chain.
// Every query first pumps pending events (auto-poll), so it always sees the newest state.

int KeyHits(int key);  // KeyDown transitions since the last query of that key; resets it
int KeyDown(int key);  // 1 while the key is down
int GetChar();         // next queued KeyChar, or 0
int MouseHits(
    int button);  // presses since the last query of that button (1 left, 2 right, 3 middle)
int MouseDown(int button);
int PointerX();
int PointerY();
int PointerZ();  // accumulated wheel steps
void FlushKeys();
void FlushMouse();
bool AppSuspended();
bool AppTerminateRequested();
void SetAutoPoll(bool on);

// Starting adds the listener to the emit-event chain at priority 0; only events from `source`
// are counted when it is set.
void StartPolledInput(const void* source = nullptr);
void StopPolledInput();
bool PolledInputRunning();
