// The real path: wall clock, a timer thread, the wake-up pipe and select() in the X11 driver's
// Wait (with no X connection it waits on the pipe alone). Bounds here only guard against hangs.
#include <gtest/gtest.h>
#include <sys/sysinfo.h>

#include <chrono>
#include <csignal>

#include "system/clock.h"
#include "system/event_queue.h"
#include "system/timer.h"
#include "system/x11_system_driver.h"
#include "tests/support/wake_pipe_probe.h"

namespace {
class RealTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(XConnection(), nullptr);
    SetClock(nullptr);
    SetSystemDriver(&driver);
    InstallEventQueue();
    ResetEventQueue();
  }
  void TearDown() override {
    SetSystemDriver(nullptr);
    SetExitRequestHandler(nullptr);
  }
  TLinuxSystemDriver driver;
};
}  // namespace

TEST_F(RealTimerTest, WaitEventWakesForTheTimerThreadsTicks) {
  auto started = std::chrono::steady_clock::now();
  int32_t start = ClockMillis();
  auto timer = CreateTimer(60);
  ASSERT_TRUE(timer);

  ASSERT_EQ(WaitEvent(), EventId::TimerTick);
  EXPECT_EQ(EventSource(), timer.get());
  EXPECT_GE(EventData(), 1);
  EXPECT_GE(ClockMillis() - start, 16);  // never before it is due
  int first = EventData();
  ASSERT_EQ(WaitEvent(), EventId::TimerTick);
  EXPECT_GT(EventData(), first);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

  // Stopping: the thread posts its last operation and is joined when that is handled.
  std::weak_ptr<TimerRecord> record = timer->_handle;
  std::weak_ptr<TTimer> weak_timer = timer;
  timer->Stop();
  timer.reset();
  for (int i = 0; i < 20 && !record.expired(); ++i) WaitSystem();
  EXPECT_TRUE(record.expired());
  EXPECT_TRUE(weak_timer.expired());
}

TEST_F(RealTimerTest, ClockCountsFromBootTime) {
  struct sysinfo info {};
  ASSERT_EQ(sysinfo(&info), 0);
  EXPECT_NEAR(ClockMillis() / 1000.0, static_cast<double>(info.uptime), 2.0);
}

TEST_F(RealTimerTest, SignalWakesTheWaitAndRunsTheExitHandler) {
  int handled = 0;
  SetExitRequestHandler([&](int signo) { handled = signo; });
  struct sigaction action {};
  action.sa_handler = RequestExitFromSignal;
  sigaction(SIGTERM, &action, nullptr);
  raise(SIGTERM);
  EXPECT_TRUE(WakeUpPipeReadable());  // a blocked select() would wake now
  EXPECT_EQ(handled, 0);              // the handler runs on the main thread, after a pump
  WaitSystem();
  EXPECT_EQ(handled, SIGTERM);
  EXPECT_FALSE(WakeUpPipeReadable());  // drained, so the next wait blocks again
  handled = 0;
  PollSystem();
  EXPECT_EQ(handled, 0);
}

TEST_F(RealTimerTest, WithoutAHandlerTheProcessEndsWithTheSignalStatus) {
  EXPECT_EXIT(
      {
        RequestExitFromSignal(SIGHUP);
        PollSystem();
      },
      ::testing::ExitedWithCode(128 + SIGHUP), "");
}
