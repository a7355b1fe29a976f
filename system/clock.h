#pragma once
// The millisecond clock, the sleep, and the mechanism that makes timer ticks fall due. The real
// clock reads the monotonic clock and runs one thread per timer; the virtual clock only moves when
// asked (sleeps, waits) and posts the ticks that fall due as it moves, so tests never wait for
// real.
#include <cstdint>
#include <memory>

struct TimerRecord;

class TClock {
 public:
  virtual ~TClock() = default;
  virtual int32_t Millis() = 0;                  // ClockMillis
  virtual void SleepMicros(int64_t micros) = 0;  // usleep
  // Starts delivering the record's ticks; false if that is impossible (no thread).
  virtual bool StartTimer(std::shared_ptr<TimerRecord> record) = 0;
  // Called after every buffer swap; a virtual clock charges it the time a swap would take.
  virtual void OnBufferSwap(int /*sync*/) {}
};

TClock& CurrentClock();
void SetClock(TClock* clock);  // nullptr: the real clock
TClock& RealClock();           // the monotonic system clock, whatever the current clock is

int32_t ClockMillis();
void Delay(int ms);                   // on the current clock
void DelayOn(TClock& clock, int ms);  // the same wait on a given clock (timer threads)
