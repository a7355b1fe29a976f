#include "system/event_queue.h"

#include <array>

#include "system/system_driver.h"

namespace {
struct Queue {
  std::array<TEvent, kEventQueueSize> slots;
  unsigned put = 0;
  unsigned get = 0;
  TEvent current;
  int listener = 0;
};
Queue q;

int Pending() { return static_cast<int>(q.put - q.get); }

bool Mergeable(int id) {
  return id == EventId::TimerTick || id == EventId::GadgetAction || id == EventId::WindowMove ||
         id == EventId::WindowSize;
}

void OnEvent(const TEvent& e) {
  if (Mergeable(e.id)) {
    // A pending event of the same kind and source takes the newer values instead of a new slot.
    for (unsigned i = q.get; i != q.put; ++i) {
      TEvent& pending = q.slots[i % kEventQueueSize];
      if (pending.id == e.id && pending.source == e.source) {
        pending.data = e.data;
        pending.mods = e.mods;
        pending.x = e.x;
        pending.y = e.y;
        pending.extra = e.extra;
        return;
      }
    }
  }
  if (Pending() >= kEventQueueSize) return;  // full: dropped
  q.slots[q.put++ % kEventQueueSize] = e;
}

int TakeOldest() {
  TEvent& slot = q.slots[q.get++ % kEventQueueSize];
  q.current = std::move(slot);
  slot = TEvent{};
  return q.current.id;
}

int MakeNullCurrent() {
  q.current = TEvent{};
  return 0;
}
}  // namespace

void InstallEventQueue() {
  if (!q.listener) q.listener = EmitEventHooks().Add(OnEvent, -10000);
}

void ResetEventQueue() {
  while (Pending() > 0) TakeOldest();
  q.put = q.get = 0;
  MakeNullCurrent();
}

int PendingEvents() { return Pending(); }

int WaitEvent() {
  InstallEventQueue();
  while (Pending() == 0) {
    // Nothing could ever arrive without a driver, or from inside a pump: do not spin forever.
    if (!CurrentSystemDriver() || InsideSystemPump()) return MakeNullCurrent();
    WaitSystem();
  }
  return TakeOldest();
}

int PollEvent() {
  InstallEventQueue();
  if (Pending() == 0) PollSystem();
  if (Pending() == 0) return MakeNullCurrent();
  return TakeOldest();
}

const TEvent* PeekEvent() { return Pending() > 0 ? &q.slots[q.get % kEventQueueSize] : nullptr; }

const TEvent& CurrentEvent() { return q.current; }
int EventID() { return q.current.id; }
const void* EventSource() { return q.current.source; }
int EventData() { return q.current.data; }
int EventMods() { return q.current.mods; }
int EventX() { return q.current.x; }
int EventY() { return q.current.y; }
const std::shared_ptr<void>& EventExtra() { return q.current.extra; }
