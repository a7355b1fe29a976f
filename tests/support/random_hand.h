#pragma once
// A seeded random hand for whole games from the title: it switches between moves of every size,
// clicks, pokes at the face, stillness, jerks, chasing the face and keeping away, and after a
// long stay in one stage turns to the ways out (stillness, a poke, chasing the face). The same
// seed gives the same hand, so a game replays exactly.
#include <random>

#include "game/cursor.h"
#include "tests/support/play_harness.h"

// Frames in one stage before the hand turns to the ways out of a stage that waits on it.
constexpr long kPatience = 1500;
// One round of ways out: stay still, poke the face, chase it.
constexpr long kStillStretch = 600;
constexpr long kPokeStretch = 300;
constexpr long kChaseStretch = 300;

enum class Habit {
  Still,
  Fidget,
  Stroll,
  Jerky,
  Thrash,
  ClickAbout,
  Poke,
  Chase,
  KeepAway,
  Nod,
  Sweep
};
constexpr int kHabits = 11;

class RandomHand {
 public:
  explicit RandomHand(unsigned seed) : _rng(seed) { Switch(); }

  void operator()(PlayerControl& p) {
    const int stage = p.state().stage;
    if (stage != _stage) {
      _stage = stage;
      _in_stage = 0;
    }
    ++_in_stage;
    if (_in_stage > kPatience) return WayOut(p, (_in_stage - kPatience) %
                                                    (kStillStretch + kPokeStretch + kChaseStretch));
    if (--_left <= 0) Switch();
    Act(p);
  }

 private:
  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(_rng); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(_rng); }
  int Signed(int lo, int hi) { return Chance(0.5) ? Uniform(lo, hi) : -Uniform(lo, hi); }

  void Switch() {
    _habit = static_cast<Habit>(Uniform(0, kHabits - 1));
    _left = Uniform(15, 240);
    _dx = Signed(1, 20);
    _dy = Signed(1, 20);
    _offset_x = Uniform(-40, 40);
    _offset_y = Uniform(-40, 40);
    _clicked = false;
    if (Chance(0.5)) {  // a sweep along one axis, as a follow-the-leader move
      if (Chance(0.5)) {
        _dx = 0;
      } else {
        _dy = 0;
      }
    }
  }

  void WayOut(PlayerControl& p, long t) {
    if (t < kStillStretch) return;
    const GameState& s = p.state();
    if (t < kStillStretch + kPokeStretch) {
      if (p.SteerTipTo(s.face_x, s.face_y) || CursorDistance() < 30) p.Click();
      return;
    }
    p.SteerTipTo(s.face_x, s.face_y);
  }

  void Act(PlayerControl& p) {
    const GameState& s = p.state();
    switch (_habit) {
      case Habit::Still:
        break;
      case Habit::Fidget:
        if (Chance(0.5)) p.MoveBy(Uniform(-3, 3), Uniform(-3, 3));
        break;
      case Habit::Stroll:
        p.MoveBy(Uniform(-15, 15), Uniform(-15, 15));
        break;
      case Habit::Jerky:
        if (Chance(0.1)) p.MoveBy(Signed(20, 60), Signed(20, 60));
        break;
      case Habit::Thrash:  // struggling against a held cursor: big, fast sweeps of the mouse
        p.MoveBy(Signed(30, 300), Signed(30, 250));
        break;
      case Habit::ClickAbout:
        if (Chance(0.3)) p.MoveBy(Uniform(-30, 30), Uniform(-30, 30));
        if (Chance(0.05)) p.Click();
        break;
      case Habit::Poke:
        // Steers onto the face and clicks there; now and then clicks on the way.
        if (p.SteerTipTo(s.face_x, s.face_y) || Chance(0.02)) {
          if (!_clicked || Chance(0.1)) p.Click();
          _clicked = true;
        }
        break;
      case Habit::Chase:
        p.SteerTipTo(s.face_x + _offset_x, s.face_y + _offset_y);
        break;
      case Habit::KeepAway:
        // Makes for the corner farthest from the face, and the other way once it comes across.
        p.SteerTipTo(s.face_x < 400 ? 740 : 60, s.face_y < 300 ? 540 : 60);
        break;
      case Habit::Nod:
        // Up and down, a few frames each way.
        if (Chance(0.2)) _dy = -_dy;
        p.MoveBy(0, _dy);
        break;
      case Habit::Sweep:
        p.MoveBy(_dx, _dy);
        if (Chance(0.03)) p.Click();
        break;
    }
  }

  std::mt19937 _rng;
  Habit _habit = Habit::Still;
  int _left = 0;
  int _dx = 0, _dy = 0, _offset_x = 0, _offset_y = 0;
  bool _clicked = false;
  int _stage = -1;
  long _in_stage = 0;
};
