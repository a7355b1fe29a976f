#include "system/timer.h"

#include "system/clock.h"
#include "system/system_driver.h"

void HandleTimerTick(const std::shared_ptr<TimerRecord>& record) {
  ++record->ticks_handled;
  int status = record->status.load();
  if (status == 1) {
    // Held locally: a listener may stop the timer and drop every other reference while it fires.
    std::shared_ptr<TTimer> timer = record->timer;
    if (timer) timer->Fire();
  } else if (status == 2 && record->ticks_posted.load() == record->ticks_handled) {
    // The last posted operation: the thread has nothing left to do but end.
    if (record->thread.joinable() && record->thread.get_id() != std::this_thread::get_id()) {
      record->thread.join();
    }
    record->timer.reset();
  }
}

int32_t NextTickDue(int32_t due, int32_t period, int32_t now) {
  const auto plus = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
  };
  const int32_t next = plus(due, period);
  const int32_t wait =
      static_cast<int32_t>(static_cast<uint32_t>(next) - static_cast<uint32_t>(now));
  return wait > period ? plus(now, period) : next;
}

std::shared_ptr<TTimer> TTimer::Create(double hertz, std::optional<TEvent> event) {
  // The period is worked out in single precision and truncated: 16 ms for 60 Hz.
  float period = 1000.0f / static_cast<float>(hertz);
  // No frequency, a negative one, or one above 1000 Hz gives no usable whole-millisecond period.
  if (!(period >= 1.0f && period <= 1.0e9f)) return nullptr;

  auto timer = std::make_shared<TTimer>();
  auto record = std::make_shared<TimerRecord>();
  record->start_ms = ClockMillis();
  record->period_ms = static_cast<int32_t>(period);
  record->timer = timer;
  timer->_event = std::move(event);
  timer->_handle = record;
  if (!CurrentClock().StartTimer(record)) {
    record->timer.reset();
    timer->_handle.reset();
    return nullptr;
  }
  return timer;
}

void TTimer::Stop() {
  if (!_handle) return;
  _handle->status.store(2);
  _handle.reset();
  _event.reset();
}

void TTimer::Fire() {
  if (!_handle) return;
  ++_ticks;
  if (_event) {
    TEvent event = *_event;  // a listener that stops the timer releases _event
    event.Emit();
  } else {
    TEvent::Create(EventId::TimerTick, this, _ticks, 0, 0, 0).Emit();
  }
}

int TTimer::Wait() {
  if (!_handle) return 0;
  while (_ticks == _wticks) {
    // Without a driver, or from inside a pump, nothing could ever deliver the tick.
    if (!CurrentSystemDriver() || InsideSystemPump() || !_handle) return 0;
    WaitSystem();
  }
  int n = _ticks - _wticks;
  _wticks = _ticks;
  return n;
}

std::shared_ptr<TTimer> CreateTimer(double hertz, std::optional<TEvent> event) {
  return TTimer::Create(hertz, std::move(event));
}
