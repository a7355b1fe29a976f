// The frame timer on a virtual clock: ticks fall due exactly on schedule, reach the main thread
// through posted operations, and merge in the event queue. No real waiting.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "system/clock.h"
#include "system/event_queue.h"
#include "system/scripted_system_driver.h"
#include "system/timer.h"
#include "system/virtual_clock.h"

namespace {
class CountingClock : public TVirtualClock {
 public:
  void SleepMicros(int64_t micros) override {
    sleeps.push_back(micros);
    TVirtualClock::SleepMicros(micros);
  }
  std::vector<int64_t> sleeps;
};

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock(&clock);
    SetSystemDriver(&driver);
    InstallEventQueue();
    ResetEventQueue();
    listener = EmitEventHooks().Add(
        [this](const TEvent& e) {
          if (e.id == EventId::TimerTick) fired.push_back(e.source);
        },
        5);
  }
  void TearDown() override {
    EmitEventHooks().Remove(listener);
    RunPostedOperations();
    SetSystemDriver(nullptr);
    SetClock(nullptr);
    ResetEventQueue();
  }

  CountingClock clock;  // starts at 100000
  TScriptedSystemDriver driver{clock};
  std::vector<const void*> fired;  // sources of TimerTick emissions, in order
  int listener = 0;
};
}  // namespace

TEST_F(TimerTest, SixtyHertzTicksEverySixteenMillisecondsWithoutRealWaiting) {
  auto timer = CreateTimer(60);
  ASSERT_TRUE(timer);
  EXPECT_EQ(timer->_handle->period_ms, 16);
  for (int k = 1; k <= 10; ++k) {
    ASSERT_EQ(WaitEvent(), EventId::TimerTick);
    EXPECT_EQ(EventSource(), timer.get());
    EXPECT_EQ(EventData(), k);
    EXPECT_EQ(ClockMillis(), 100000 + 16 * k);
  }
  clock.AdvanceBy(1000 - 160);
  PollSystem();
  EXPECT_EQ(timer->Ticks(), 62);  // 62.5 per second
}

TEST_F(TimerTest, MissedTicksAllFireButOnlyOneWaitsInTheQueue) {
  auto timer = CreateTimer(60);
  clock.AdvanceBy(100);
  EXPECT_TRUE(fired.empty());  // nothing runs until the main thread pumps
  PollSystem();
  EXPECT_EQ(fired.size(), 6u);
  EXPECT_EQ(timer->Ticks(), 6);
  EXPECT_EQ(PendingEvents(), 1);
  ASSERT_NE(PeekEvent(), nullptr);
  EXPECT_EQ(PeekEvent()->data, 6);
}

TEST_F(TimerTest, TicksOfSeveralTimersArriveInDueOrder) {
  auto a = CreateTimer(60);   // 16, 32, 48, 64, 80
  auto b = CreateTimer(100);  // 10, 20, ..., 80
  clock.AdvanceBy(80);
  PollSystem();
  const void* A = a.get();
  const void* B = b.get();
  std::vector<const void*> expected = {B, A, B, B, A, B, A, B, B, A, B, A, B};
  EXPECT_EQ(fired, expected);  // at 80 both are due: the one started first goes first
}

TEST_F(TimerTest, StoppedTimerFiresNoMoreAndIsFreedAfterItsLastTick) {
  auto timer = CreateTimer(60);
  std::weak_ptr<TimerRecord> record = timer->_handle;
  std::weak_ptr<TTimer> weak_timer = timer;
  clock.AdvanceBy(50);  // three ticks posted, none handled yet
  timer->Stop();
  EXPECT_EQ(timer->Wait(), 0);
  timer.reset();
  ASSERT_FALSE(weak_timer.expired());  // the record holds the timer until its ticks are handled
  PollSystem();
  EXPECT_TRUE(fired.empty());
  EXPECT_TRUE(record.expired());
  EXPECT_TRUE(weak_timer.expired());
  clock.AdvanceBy(100);
  PollSystem();
  EXPECT_TRUE(fired.empty());
}

TEST_F(TimerTest, WaitReturnsTheTicksSinceTheLastWait) {
  auto timer = CreateTimer(60);
  clock.AdvanceBy(40);
  PollSystem();
  EXPECT_EQ(timer->Wait(), 2);
  EXPECT_EQ(timer->Wait(), 1);  // blocks (virtually) until the tick at 48
  EXPECT_EQ(ClockMillis(), 100048);
}

TEST_F(TimerTest, UnusableFrequenciesGiveNoTimer) {
  for (double hertz : {0.0, -5.0, 2000.0, double(NAN), double(INFINITY)}) {
    EXPECT_EQ(CreateTimer(hertz), nullptr) << hertz;
  }
  EXPECT_NE(CreateTimer(1000.0), nullptr);
}

TEST_F(TimerTest, DelayOnTheVirtualClock) {
  Delay(-5);
  EXPECT_TRUE(clock.sleeps.empty());
  Delay(0);
  EXPECT_EQ(clock.sleeps, std::vector<int64_t>{0});
  EXPECT_EQ(ClockMillis(), 100000);

  auto timer = CreateTimer(60);
  Delay(20);
  EXPECT_EQ(ClockMillis(), 100020);
  PollSystem();
  EXPECT_EQ(timer->Ticks(), 1);  // the tick at 16 fell due during the sleep

  clock.SleepMicros(1);  // part of a millisecond counts as a whole one
  EXPECT_EQ(ClockMillis(), 100021);
}

TEST_F(TimerTest, WaitingWithNothingToComeTakesTheWholeTimeout) {
  WaitSystem();
  EXPECT_EQ(ClockMillis(), 110000);
}

TEST(ClockGoingBack, NoTickOrDelayWaitsLongerThanAsked) {
  EXPECT_EQ(NextTickDue(1000, 16, 1000), 1016);
  EXPECT_EQ(NextTickDue(1000, 16, 1300), 1016);  // late: still due on schedule
  EXPECT_EQ(NextTickDue(1000, 16, 900), 916);    // gone back: a period from now
  struct : TVirtualClock {                       // set back 10 s in the middle of its first sleep
    int32_t back = 0;
    int32_t Millis() override { return TVirtualClock::Millis() - back; }
    void SleepMicros(int64_t micros) override { TVirtualClock::SleepMicros(micros), back = 10000; }
  } clock;
  DelayOn(clock, 16);
  EXPECT_EQ(clock.TVirtualClock::Millis(), 100016);
}
