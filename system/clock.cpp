#include "system/clock.h"

namespace {
TClock* current_clock = nullptr;

// Milliseconds from `now` until `deadline` on a clock that wraps at 32 bits.
int32_t MillisUntil(int32_t deadline, int32_t now) {
  return static_cast<int32_t>(static_cast<uint32_t>(deadline) - static_cast<uint32_t>(now));
}
}  // namespace

TClock& CurrentClock() { return current_clock ? *current_clock : RealClock(); }

void SetClock(TClock* clock) { current_clock = clock; }

int32_t ClockMillis() { return CurrentClock().Millis(); }

void Delay(int ms) { DelayOn(CurrentClock(), ms); }

void DelayOn(TClock& clock, int ms) {
  if (ms < 0) return;
  int32_t deadline = static_cast<int32_t>(static_cast<uint32_t>(clock.Millis()) + ms);
  bool slept = false;
  for (int32_t left; (left = MillisUntil(deadline, clock.Millis())) > 0;) {
    if (left > ms) break;  // the clock went back: never wait longer than asked
    clock.SleepMicros(int64_t{left} * 1000);
    slept = true;
  }
  // Even a zero delay gives up the processor once.
  if (!slept) clock.SleepMicros(0);
}
