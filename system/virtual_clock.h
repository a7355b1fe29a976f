#pragma once
// A clock that moves only when told to. Timers started on it get no thread: whenever the clock
// moves, every tick that has fallen due is posted to the main thread, in order, exactly as the
// timer thread would post it. Deterministic and free of real waiting.
#include <cstdint>
#include <memory>
#include <vector>

#include "system/clock.h"

class TVirtualClock : public TClock {
 public:
  explicit TVirtualClock(int32_t start_ms = 100000) : _now(start_ms) {}
  // Timers left on the clock can never fall due again: they are stopped and let go of.
  ~TVirtualClock() override;

  int32_t Millis() override { return _now; }
  void SleepMicros(int64_t micros) override;  // advances by whole milliseconds (rounded up)
  bool StartTimer(std::shared_ptr<TimerRecord> record) override;
  void OnBufferSwap(int sync) override;

  void AdvanceTo(int32_t ms);  // posts the ticks due by then
  void AdvanceBy(int32_t ms) { AdvanceTo(_now + ms); }
  // Moves to the earliest due tick of a running timer and posts it; false if no timer runs.
  bool AdvanceToNextTick();
  // Virtual milliseconds one buffer swap costs (sync 0 / non-zero). A swap that waits for no
  // vertical blank, as under a software renderer, costs little.
  int swap_ms_nosync = 0;
  int swap_ms_sync = 1;

 private:
  struct Scheduled {
    std::shared_ptr<TimerRecord> record;
    int32_t next_due;
  };
  int PostDue();  // returns the number of ticks posted
  int32_t _now;
  std::vector<Scheduled> _timers;
};
