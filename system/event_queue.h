#pragma once
// The 256-slot event queue and the current event. Ticks, gadget actions and window moves/sizes
// of the same source are merged while pending, so a slow frame is followed by one tick, not a
// burst.
#include "system/event.h"

constexpr int kEventQueueSize = 256;

// Adds the queue's listener to the emit-event chain (priority -10000); idempotent.
void InstallEventQueue();
// Empties the queue and makes the null event current (tests and restarts).
void ResetEventQueue();
int PendingEvents();

int WaitEvent();            // id of the event that became current
int PollEvent();            // id, or 0 if none pending
const TEvent* PeekEvent();  // oldest pending event, or nullptr
const TEvent& CurrentEvent();
int EventID();
const void* EventSource();
int EventData();
int EventMods();
int EventX();
int EventY();
const std::shared_ptr<void>& EventExtra();
