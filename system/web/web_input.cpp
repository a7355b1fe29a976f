#include "system/web/web_input.h"

#include <algorithm>
#include <utility>

namespace {
constexpr int kEscapeKey = 27;
}  // namespace

void WebInput::Queue(int id, int data) {
  _events.push_back(TEvent::Create(id, nullptr, data, 0, _x, _y));
}

void WebInput::PointerLockChanged(bool locked) {
  if (_locked && !locked) {
    Queue(EventId::KeyDown, kEscapeKey);
    Queue(EventId::KeyUp, kEscapeKey);
  }
  _locked = locked;
}

void WebInput::Motion(int dx, int dy) {
  if (!_locked || (dx == 0 && dy == 0)) return;
  Warp(_x + dx, _y + dy);
}

void WebInput::Button(int button, bool down) {
  if (!_locked || button < 0 || button > 2) return;
  static constexpr int kButtons[] = {1, 3, 2};  // left, middle, right as the game numbers them
  Queue(down ? EventId::MouseDown : EventId::MouseUp, kButtons[button]);
}

void WebInput::Key(int code, bool down) {
  if (code != kEscapeKey) return;
  Queue(down ? EventId::KeyDown : EventId::KeyUp, code);
}

void WebInput::Warp(int x, int y) {
  _x = std::clamp(x, 0, _width - 1);
  _y = std::clamp(y, 0, _height - 1);
  Queue(EventId::MouseMove, 0);
}

std::deque<TEvent> WebInput::Take() { return std::exchange(_events, {}); }
