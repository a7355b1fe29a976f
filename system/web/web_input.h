#pragma once
// What the browser's input means to the game, apart from the browser itself (so it can be
// checked anywhere). The pointer moves only while the page holds pointer lock, by the relative
// motion the browser reports, inside the 800x600 picture as a grabbed X pointer would. Buttons
// count only while locked: the click that asks for the lock is not a poke. A browser leaves
// pointer lock on Escape without passing the key on, so losing the lock is an Escape press.
#include <deque>

#include "system/event.h"

class WebInput {
 public:
  WebInput(int width, int height) : _width(width), _height(height) {}

  void PointerLockChanged(bool locked);
  void Motion(int dx, int dy);
  // `button` as the browser numbers them: 0 left, 1 middle, 2 right.
  void Button(int button, bool down);
  // Browser key codes; only Escape (27) matters to the game.
  void Key(int code, bool down);
  // The game put the pointer at (x, y): seen as motion to there, as on X11.
  void Warp(int x, int y);

  bool locked() const { return _locked; }
  bool HasEvents() const { return !_events.empty(); }
  // The events gathered since the last call, oldest first.
  std::deque<TEvent> Take();

 private:
  void Queue(int id, int data);
  int _width, _height;
  int _x = 0, _y = 0;
  bool _locked = false;
  std::deque<TEvent> _events;
};
