#pragma once
// A system driver without a window system: input comes from a script (a test, a replay), time
// from a virtual clock. It behaves like the X11 driver as the game sees it: a pointer warp
// produces a motion event at the next pump, presses and releases become MouseDown/MouseUp, and
// Wait() returns at the next timer tick without real waiting.
#include <deque>

#include "system/event.h"
#include "system/system_driver.h"
#include "system/virtual_clock.h"

class TScriptedSystemDriver : public TSystemDriver {
 public:
  explicit TScriptedSystemDriver(TVirtualClock& clock) : _clock(clock) {}

  void Poll() override;
  void Wait() override;
  void MoveMouse(int x, int y) override;
  void SetMouseVisible(bool visible) override { _mouse_visible = visible; }

  // Scripted input, delivered at the next pump in the order given.
  void MovePointerBy(int dx, int dy);  // like a physical mouse motion from where the pointer is
  void MovePointerTo(int x, int y);
  void PressButton(int button);  // 1 left, 2 right, 3 middle
  void ReleaseButton(int button);
  void PressKey(int key);  // key codes as the X11 driver produces them (27 = Escape)
  void ReleaseKey(int key);
  void QueueEvent(const TEvent& event);
  // Keeps the pointer inside a width x height window, as a pointer grab confined to the game's
  // window does (0 = unconfined).
  void ConfinePointer(int width, int height) {
    _confine_w = width;
    _confine_h = height;
  }

  int pointer_x() const { return _pointer_x; }
  int pointer_y() const { return _pointer_y; }
  bool mouse_visible() const { return _mouse_visible; }
  bool HasPendingInput() const { return !_pending.empty(); }

 private:
  TVirtualClock& _clock;
  std::deque<TEvent> _pending;
  int _pointer_x = 0;
  int _pointer_y = 0;
  bool _mouse_visible = true;
  int _confine_w = 0;
  int _confine_h = 0;
};
