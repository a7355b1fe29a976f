#include "display/desktop/input_ownership.h"

bool WaitForTheKeyboard(GrabPort& port, int attempts, const std::function<void()>& between) {
  for (int i = 0; i < attempts; ++i) {
    if (i > 0 && between) between();
    if (port.GrabKeyboard()) {
      port.GrabPointer();
      return true;
    }
  }
  return false;
}

bool InputOwnership::TakeAtStart(int attempts, const std::function<void()>& between) {
  for (int i = 0; i < attempts && _want_keyboard && !_keyboard_held; ++i) {
    if (i > 0 && between) between();
    _keyboard_held = _port.GrabKeyboard();
  }
  for (int i = 0; i < attempts && _want_pointer && !_pointer_held; ++i) {
    if (i > 0 && between) between();
    _pointer_held = _port.GrabPointer();
  }
  _focused = !_want_keyboard || _keyboard_held;
  _flips_since_try = 0;
  return _focused;
}

void InputOwnership::OnFocus(bool focused) {
  if (focused == _focused) return;
  _focused = focused;
  _flips_since_try = 0;
  if (focused) {
    TakeMissing();
  } else {
    ReleaseAll();
  }
}

void InputOwnership::OnFlip() {
  if (!_focused) return;
  if ((!_want_keyboard || _keyboard_held) && (!_want_pointer || _pointer_held)) return;
  if (++_flips_since_try < kRetryEveryFlips) return;
  _flips_since_try = 0;
  TakeMissing();
}

void InputOwnership::ReleaseAll() {
  if (_pointer_held) _port.UngrabPointer();
  if (_keyboard_held) _port.UngrabKeyboard();
  _pointer_held = _keyboard_held = false;
}

void InputOwnership::TakeMissing() {
  if (_want_keyboard && !_keyboard_held) _keyboard_held = _port.GrabKeyboard();
  if (_want_pointer && !_pointer_held) _pointer_held = _port.GrabPointer();
}
