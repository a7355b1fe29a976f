#include "system/scripted_system_driver.h"

#include <algorithm>
#include <utility>

void TScriptedSystemDriver::Poll() {
  // Input queued while these are emitted (by a listener) waits for the next pump, as it would
  // behind a real event queue.
  std::deque<TEvent> batch;
  batch.swap(_pending);
  for (const TEvent& e : batch) e.Emit();
  _clock.AdvanceTo(_clock.Millis());
  RunPostedOperations();
  CheckExitRequest();
}

void TScriptedSystemDriver::Wait() {
  if (_pending.empty() && !PostedOperationsPending()) {
    _clock.AdvanceTo(_clock.Millis());  // a stopped timer's last operation, ticks due now
    // Nothing to deliver: sleep until the next tick, or through the whole wait timeout.
    if (!PostedOperationsPending() && !_clock.AdvanceToNextTick()) _clock.AdvanceBy(10000);
  }
  Poll();
}

void TScriptedSystemDriver::MoveMouse(int x, int y) {
  // A warp is seen by the program as pointer motion to the new place.
  MovePointerTo(x, y);
}

void TScriptedSystemDriver::MovePointerBy(int dx, int dy) {
  MovePointerTo(_pointer_x + dx, _pointer_y + dy);
}

void TScriptedSystemDriver::MovePointerTo(int x, int y) {
  // A grabbed pointer cannot leave the window, however far the hand moves the mouse.
  if (_confine_w > 0) x = std::clamp(x, 0, _confine_w - 1);
  if (_confine_h > 0) y = std::clamp(y, 0, _confine_h - 1);
  _pointer_x = x;
  _pointer_y = y;
  _pending.push_back(TEvent::Create(EventId::MouseMove, nullptr, 0, 0, x, y));
}

void TScriptedSystemDriver::PressButton(int button) {
  _pending.push_back(
      TEvent::Create(EventId::MouseDown, nullptr, button, 0, _pointer_x, _pointer_y));
}

void TScriptedSystemDriver::ReleaseButton(int button) {
  _pending.push_back(TEvent::Create(EventId::MouseUp, nullptr, button, 0, _pointer_x, _pointer_y));
}

void TScriptedSystemDriver::PressKey(int key) {
  _pending.push_back(TEvent::Create(EventId::KeyDown, nullptr, key, 0, _pointer_x, _pointer_y));
}

void TScriptedSystemDriver::ReleaseKey(int key) {
  _pending.push_back(TEvent::Create(EventId::KeyUp, nullptr, key, 0, _pointer_x, _pointer_y));
}

void TScriptedSystemDriver::QueueEvent(const TEvent& event) { _pending.push_back(event); }
