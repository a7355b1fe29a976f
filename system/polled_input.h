#pragma once
// Polled keyboard and mouse state, kept up to date by a listener on the emit-event chain.
// Every query first pumps pending events (auto-poll), so it always sees the newest state, unless
// frame sampling is on (below).
#include <functional>

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
void StopPolledInput();  // also ends frame sampling
bool PolledInputRunning();

// Frame sampling: the state the queries report changes only when a frame is sampled (Flip does
// it after presenting), so every query of one frame sees the same input and a session is its
// seed and the input of each frame. Presses are handed to the sampled state when it is taken
// and stay there until queried. A pointer warp (MoveMouse) moves the sampled pointer at once.
void SetFrameSampling(bool on);
bool FrameSamplingOn();
void SampleFrameInput();  // pumps, then takes the frame's input; nothing while sampling is off

// One frame's input as the game takes it: where the pointer is, and the left-button and Escape
// presses made since the last frame was sampled.
struct FrameInput {
  int pointer_x = 0;
  int pointer_y = 0;
  int clicks = 0;
  int escapes = 0;
  bool operator==(const FrameInput&) const = default;
};
// Sees, and may change, each frame's input as it is sampled (recording or replaying a session).
void SetFrameInputFilter(std::function<void(FrameInput&)> filter);
// The pointer was warped to (x, y): the sampled state says so at once, and the newest state too,
// but for the motion that came in since the last sample, which is the next frame's.
void NotePointerWarp(int x, int y);
// The newest pointer position, for a driver that reports motion from it.
void LivePointer(int* x, int* y);
