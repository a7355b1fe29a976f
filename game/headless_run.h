#pragma once
// The real start-up and stage table with nothing shown and no real time passing: a virtual
// clock, a scripted system driver standing in for the window system, and a drawing driver that
// draws nowhere (or the caller's). Checking a movie and the tests' play harness run the game so.
#include <functional>
#include <memory>

#include "system/scripted_system_driver.h"
#include "draw2d/quill2d_driver.h"
#include "system/virtual_clock.h"


class HeadlessRun {
 public:
  // Puts the process back to a fresh start (game state, events, input, generator, hooks and
  // handlers of an earlier run), installs the drivers (the null drawing driver when none is
  // given) and has start-up seed the generator with `seed`.
  explicit HeadlessRun(int seed, std::unique_ptr<TQuill2DDriver> draw = nullptr);
  // Undoes everything the run installed, whichever way it ended.
  ~HeadlessRun();
  HeadlessRun(const HeadlessRun&) = delete;
  HeadlessRun& operator=(const HeadlessRun&) = delete;

  TScriptedSystemDriver& system() { return _system; }
  // Hands the drawing driver on, for a test to look at after the run.
  std::unique_ptr<TQuill2DDriver> TakeDrawDriver() { return std::move(_draw); }

  // Runs `body` (by default start-up and the stage table, as the program does) until the program
  // ends, and returns its exit status; a body that returns is the stage sequence running out
  // (status 0). Any other exception passes through.
  int Play(const std::function<void()>& body = nullptr);

 private:
  TVirtualClock _clock;
  TScriptedSystemDriver _system{_clock};
  std::unique_ptr<TQuill2DDriver> _draw;
};
