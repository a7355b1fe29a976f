#include "system/polled_input.h"

#include <array>

#include "system/event.h"
#include "system/system_driver.h"

namespace {
constexpr int kKeys = 256;
constexpr int kButtons = 4;  // index 1..3 used
constexpr int kCharQueue = 256;

struct PolledState {
  std::array<int, kKeys> key_down{};
  std::array<int, kKeys> key_hits{};
  std::array<int, kCharQueue> chars{};
  unsigned char_put = 0;
  unsigned char_get = 0;
  std::array<int, kButtons> button_down{};
  std::array<int, kButtons> button_hits{};
  int x = 0, y = 0, z = 0;
  bool suspended = false;
  bool terminate_requested = false;
  bool auto_poll = true;
  const void* source = nullptr;
  int listener = 0;  // hook handle, 0 while stopped
};
PolledState st;

bool ValidKey(int key) { return key >= 0 && key < kKeys; }
bool ValidButton(int button) { return button >= 1 && button < kButtons; }

void AutoPoll() {
  if (st.auto_poll) PollSystem();
}

void ClearKeys() {
  st.key_down.fill(0);
  st.key_hits.fill(0);
  st.char_put = st.char_get = 0;
}

void ClearMouse() {
  st.button_down.fill(0);
  st.button_hits.fill(0);
  st.z = 0;
}

void OnEvent(const TEvent& e) {
  if (st.source && e.source != st.source) return;
  switch (e.id) {
    case EventId::AppSuspend:
      FlushKeys();
      FlushMouse();
      st.suspended = true;
      break;
    case EventId::AppResume:
      FlushKeys();
      FlushMouse();
      st.suspended = false;
      break;
    case EventId::AppTerminate:
      st.terminate_requested = true;
      break;
    case EventId::KeyDown:
      // Auto-repeat arrives as KeyRepeat, and a held key is counted only on its first press.
      if (ValidKey(e.data) && !st.key_down[e.data]) {
        st.key_down[e.data] = 1;
        ++st.key_hits[e.data];
      }
      break;
    case EventId::KeyUp:
      if (ValidKey(e.data)) st.key_down[e.data] = 0;
      break;
    case EventId::KeyChar:
      if (st.char_put - st.char_get < kCharQueue) st.chars[st.char_put++ % kCharQueue] = e.data;
      break;
    case EventId::MouseDown:
      if (ValidButton(e.data) && !st.button_down[e.data]) {
        st.button_down[e.data] = 1;
        ++st.button_hits[e.data];
      }
      break;
    case EventId::MouseUp:
      if (ValidButton(e.data)) st.button_down[e.data] = 0;
      break;
    case EventId::MouseMove:
      st.x = e.x;
      st.y = e.y;
      break;
    case EventId::MouseWheel:
      st.z += e.data;
      break;
    default:
      break;
  }
}
}  // namespace

int KeyHits(int key) {
  AutoPoll();
  if (!ValidKey(key)) return 0;
  int hits = st.key_hits[key];
  st.key_hits[key] = 0;
  return hits;
}

int KeyDown(int key) {
  AutoPoll();
  return ValidKey(key) ? st.key_down[key] : 0;
}

int GetChar() {
  AutoPoll();
  if (st.char_get == st.char_put) return 0;
  return st.chars[st.char_get++ % kCharQueue];
}

int MouseHits(int button) {
  AutoPoll();
  if (!ValidButton(button)) return 0;
  int hits = st.button_hits[button];
  st.button_hits[button] = 0;
  return hits;
}

int MouseDown(int button) {
  AutoPoll();
  return ValidButton(button) ? st.button_down[button] : 0;
}

int PointerX() {
  AutoPoll();
  return st.x;
}

int PointerY() {
  AutoPoll();
  return st.y;
}

int PointerZ() {
  AutoPoll();
  return st.z;
}

void FlushKeys() {
  PollSystem();
  ClearKeys();
}

void FlushMouse() {
  PollSystem();
  ClearMouse();
}

bool AppSuspended() {
  AutoPoll();
  return st.suspended;
}

bool AppTerminateRequested() {
  AutoPoll();
  return st.terminate_requested;
}

void SetAutoPoll(bool on) { st.auto_poll = on; }

void StartPolledInput(const void* source) {
  EnsureWakeUpPipe();
  st.source = source;
  FlushKeys();
  FlushMouse();
  if (!st.listener) st.listener = EmitEventHooks().Add(OnEvent, 0);
}

void StopPolledInput() {
  if (st.listener) EmitEventHooks().Remove(st.listener);
  st.listener = 0;
  FlushKeys();
  FlushMouse();
  st.source = nullptr;
}

bool PolledInputRunning() { return st.listener != 0; }
