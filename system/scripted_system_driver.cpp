#include "system/scripted_system_driver.h"

#include <utility>

void TScriptedSystemDriver::Poll() {
  // Input queued while these are emitted (by a listener) waits for the next pump, as it would
  // behind a real event queue.
  std::deque<TEvent> batch;
  batch.swap(pending_);
  for (const TEvent& e : batch) e.Emit();
  clock_.AdvanceTo(clock_.Millis());
  RunPostedOperations();
  CheckExitRequest();
}

void TScriptedSystemDriver::Wait() {
  if (pending_.empty() && !PostedOperationsPending()) {
    clock_.AdvanceTo(clock_.Millis());  // a stopped timer's last operation, ticks due now
    // Nothing to deliver: sleep until the next tick, or through the whole wait timeout.
    if (!PostedOperationsPending() && !clock_.AdvanceToNextTick()) clock_.AdvanceBy(10000);
  }
  Poll();
}

void TScriptedSystemDriver::MoveMouse(int x, int y) {
  // A warp is seen by the program as pointer motion to the new place.
  MovePointerTo(x, y);
}

void TScriptedSystemDriver::MovePointerBy(int dx, int dy) {
  MovePointerTo(pointer_x_ + dx, pointer_y_ + dy);
}

void TScriptedSystemDriver::MovePointerTo(int x, int y) {
  pointer_x_ = x;
  pointer_y_ = y;
  pending_.push_back(TEvent::Create(EventId::MouseMove, nullptr, 0, 0, x, y));
}

void TScriptedSystemDriver::PressButton(int button) {
  pending_.push_back(TEvent::Create(EventId::MouseDown, nullptr, button, 0, pointer_x_, pointer_y_));
}

void TScriptedSystemDriver::ReleaseButton(int button) {
  pending_.push_back(TEvent::Create(EventId::MouseUp, nullptr, button, 0, pointer_x_, pointer_y_));
}

void TScriptedSystemDriver::PressKey(int key) {
  pending_.push_back(TEvent::Create(EventId::KeyDown, nullptr, key, 0, pointer_x_, pointer_y_));
}

void TScriptedSystemDriver::ReleaseKey(int key) {
  pending_.push_back(TEvent::Create(EventId::KeyUp, nullptr, key, 0, pointer_x_, pointer_y_));
}

void TScriptedSystemDriver::QueueEvent(const TEvent& event) { pending_.push_back(event); }
