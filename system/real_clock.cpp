// The real clock and its timer threads: one thread per timer sleeps until each tick is due and
// posts it to the main thread. Time is read from the monotonic clock (which also counts from
// boot), so setting the system's date neither freezes the frame timer nor floods it with ticks.
#include <pthread.h>
#include <sys/sysinfo.h>
#include <time.h>

#include <csignal>
#include <system_error>

#include "system/clock.h"
#include "system/system_driver.h"
#include "system/timer.h"

namespace {
int64_t RawMillis() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

// Fixed at first use so that the clock counts from boot time, rounded to a whole second.
int64_t Origin() {
  static const int64_t origin = [] {
    struct sysinfo info {};
    int64_t uptime = sysinfo(&info) == 0 ? int64_t{info.uptime} : 0;
    return RawMillis() - uptime * 1000;
  }();
  return origin;
}

int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void RunTimerThread(std::shared_ptr<TimerRecord> record) {
  TClock& clock = RealClock();
  // Tick k is due at start + k * period, however late the previous one was.
  int32_t due = record->start_ms;
  while (record->status.load() == 1) {
    due = NextTickDue(due, record->period_ms, clock.Millis());
    DelayOn(clock, WrapSub(due, clock.Millis()));
    record->ticks_posted.fetch_add(1);
    PostOperation([record] { HandleTimerTick(record); });
  }
  // The last operation frees the record once every earlier tick has been handled.
  PostOperation([record] { HandleTimerTick(record); });
}

class TRealClock : public TClock {
 public:
  int32_t Millis() override {
    return static_cast<int32_t>(static_cast<uint32_t>(RawMillis() - Origin()));
  }

  void SleepMicros(int64_t micros) override {
    if (micros < 0) micros = 0;
    timespec ts{static_cast<time_t>(micros / 1000000), static_cast<long>(micros % 1000000) * 1000};
    nanosleep(&ts, nullptr);  // an interrupted sleep is resumed by the caller's loop
  }

  bool StartTimer(std::shared_ptr<TimerRecord> record) override {
    if (record->period_ms < 1) return false;  // the thread would post without ever sleeping
    // The thread inherits this mask: termination signals must reach the main thread.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    bool started = true;
    try {
      record->thread = std::thread(RunTimerThread, record);
    } catch (const std::system_error&) {
      started = false;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return started;
  }
};
}  // namespace

TClock& RealClock() {
  // Never destroyed: timer threads may read it while the process exits.
  static TClock* clock = new TRealClock;
  return *clock;
}
