#pragma once
// Periodic timer: ticks fall due at start + k x trunc(1000 / hertz) ms and reach the main thread
// as posted operations; each tick fires the timer, which emits a TimerTick event.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

#include "system/event.h"

class TTimer;

// Shared by the thread (or virtual clock) that makes ticks due and the main thread.
struct TimerRecord {
  std::atomic<int> status{1};  // 1 running, 2 stopping
  std::atomic<int> ticks_posted{1};
  int ticks_handled = 0;
  int32_t start_ms = 0;
  int32_t period_ms = 0;
  std::shared_ptr<TTimer> timer;  // held while the record exists
  std::thread thread;  // the real clock's ticking thread; joined when the record is freed

  ~TimerRecord() {
    if (thread.joinable()) thread.detach();
  }
};

// Runs on the main thread for every tick posted.
void HandleTimerTick(const std::shared_ptr<TimerRecord>& record);

// When the tick after the one due at `due` falls due, seen at `now`: a period later, however late
// the last one was; but never more than a period away, should the clock have gone back.
int32_t NextTickDue(int32_t due, int32_t period, int32_t now);

class TTimer : public std::enable_shared_from_this<TTimer> {
 public:
  static std::shared_ptr<TTimer> Create(double hertz, std::optional<TEvent> event = std::nullopt);
  int Ticks() const { return _ticks; }
  void Stop();
  void Fire();
  int Wait();

  int _ticks = 0;
  int _wticks = 0;
  std::optional<TEvent> _event;
  std::shared_ptr<TimerRecord> _handle;
};

std::shared_ptr<TTimer> CreateTimer(double hertz, std::optional<TEvent> event = std::nullopt);
