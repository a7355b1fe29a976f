#include "system/polled_input.h"

#include <array>
#include <utility>

#include "system/event.h"
#include "system/system_driver.h"

namespace {
constexpr int kKeys = 256;
constexpr int kButtons = 4;  // index 1..3 used
constexpr int kCharQueue = 256;
constexpr int kClickButton = 1;
constexpr int kEscapeKey = 27;

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
PolledState st;  // the newest state, as events arrive
// What the queries report while frame sampling is on: the state at the last sample.
PolledState sampled;
bool sampling = false;
std::function<void(FrameInput&)>* frame_filter = new std::function<void(FrameInput&)>();

// The state a query reads (and, for presses, uses up).
PolledState& Queried() { return sampling ? sampled : st; }

bool ValidKey(int key) { return key >= 0 && key < kKeys; }
bool ValidButton(int button) { return button >= 1 && button < kButtons; }

void AutoPoll() {
  if (st.auto_poll && !sampling) PollSystem();
}

void ClearKeys() {
  for (PolledState* s : {&st, &sampled}) {
    s->key_down.fill(0);
    s->key_hits.fill(0);
    s->char_put = s->char_get = 0;
  }
}

void ClearMouse() {
  for (PolledState* s : {&st, &sampled}) {
    s->button_down.fill(0);
    s->button_hits.fill(0);
    s->z = 0;
  }
}

// Presses of the newest state handed to the sampled one (where they wait to be queried).
template <size_t N>
void HandOver(std::array<int, N>& from, std::array<int, N>& to) {
  for (size_t i = 0; i < N; ++i) {
    to[i] += from[i];
    from[i] = 0;
  }
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
  int hits = Queried().key_hits[key];
  Queried().key_hits[key] = 0;
  return hits;
}

int KeyDown(int key) {
  AutoPoll();
  return ValidKey(key) ? Queried().key_down[key] : 0;
}

int GetChar() {
  AutoPoll();
  if (st.char_get == st.char_put) return 0;
  return st.chars[st.char_get++ % kCharQueue];
}

int MouseHits(int button) {
  AutoPoll();
  if (!ValidButton(button)) return 0;
  int hits = Queried().button_hits[button];
  Queried().button_hits[button] = 0;
  return hits;
}

int MouseDown(int button) {
  AutoPoll();
  return ValidButton(button) ? Queried().button_down[button] : 0;
}

int PointerX() {
  AutoPoll();
  return Queried().x;
}

int PointerY() {
  AutoPoll();
  return Queried().y;
}

int PointerZ() {
  AutoPoll();
  return Queried().z;
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
  return Queried().suspended;
}

bool AppTerminateRequested() {
  AutoPoll();
  return Queried().terminate_requested;
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
  SetFrameSampling(false);
}

bool PolledInputRunning() { return st.listener != 0; }

void SetFrameSampling(bool on) {
  if (on && !sampling) {
    // Starts from the newest state, presses included.
    sampled = st;
    st.key_hits.fill(0);
    st.button_hits.fill(0);
  }
  sampling = on;
}

bool FrameSamplingOn() { return sampling; }

void SampleFrameInput() {
  if (!sampling) return;
  PollSystem();
  FrameInput input{st.x, st.y, st.button_hits[kClickButton], st.key_hits[kEscapeKey]};
  if (*frame_filter) (*frame_filter)(input);
  st.button_hits[kClickButton] = input.clicks;
  st.key_hits[kEscapeKey] = input.escapes;
  HandOver(st.key_hits, sampled.key_hits);
  HandOver(st.button_hits, sampled.button_hits);
  sampled.key_down = st.key_down;
  sampled.button_down = st.button_down;
  sampled.x = input.pointer_x;
  sampled.y = input.pointer_y;
  sampled.z = st.z;
  sampled.suspended = st.suspended;
  sampled.terminate_requested = st.terminate_requested;
}

void SetFrameInputFilter(std::function<void(FrameInput&)> filter) {
  *frame_filter = std::move(filter);
}

void NotePointerWarp(int x, int y) {
  const int carry_x = sampling ? st.x - sampled.x : 0;
  const int carry_y = sampling ? st.y - sampled.y : 0;
  sampled.x = x;
  sampled.y = y;
  st.x = x + carry_x;
  st.y = y + carry_y;
}

void LivePointer(int* x, int* y) {
  *x = st.x;
  *y = st.y;
}
