// The display front end over a fake graphics driver on the virtual clock: open and close order,
// the soft-sync measurement, and Flip(-1)'s pacing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "system/clock.h"
#include "system/polled_input.h"
#include "system/scripted_system_driver.h"
#include "system/system_driver.h"
#include "system/virtual_clock.h"

namespace {

class FakeDriver;

class FakeGraphics : public TGraphics {
 public:
  FakeGraphics(FakeDriver* driver, int width, int height, int depth, int hertz, int flags)
      : _driver(driver),
        _width(width),
        _height(height),
        _depth(depth),
        _hertz(hertz),
        _flags(flags) {}
  TGraphicsDriver* Driver() override;
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = _width;
    height = _height;
    depth = _depth;
    hertz = _hertz;
    flags = _flags;
  }
  void Close() override;

 private:
  FakeDriver* _driver;
  int _width, _height, _depth, _hertz, _flags;
};

// Records what the front end asks of it; a vertical-sync flip costs the clock what the test says.
class FakeDriver : public TGraphicsDriver {
 public:
  explicit FakeDriver(TVirtualClock& clock) : _clock(clock) {}
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override {
    log.push_back("create");
    if (fail_create) return nullptr;
    created_flags = flags;
    return std::make_shared<FakeGraphics>(this, width, height, depth ? 24 : 0, hertz, flags);
  }
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override {
    log.push_back(graphics ? "set" : "unset");
    width_seen_while_setting = GraphicsWidth();
  }
  void Flip(int sync) override {
    flips.push_back(sync);
    flip_times.push_back(_clock.Millis());
    if (sync == 1) _clock.AdvanceBy(vsync_flip_ms);
  }

  std::vector<std::string> log;
  std::vector<int> flips;
  std::vector<int32_t> flip_times;
  int vsync_flip_ms = 0;
  bool fail_create = false;
  int created_flags = 0;
  int width_seen_while_setting = -1;

 private:
  TVirtualClock& _clock;
};

TGraphicsDriver* FakeGraphics::Driver() { return _driver; }
void FakeGraphics::Close() { _driver->log.push_back("close"); }

class DisplayFrontEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClock(&clock);
    SetSystemDriver(&system);
    SetGraphicsDriver(&driver);
  }
  void TearDown() override {
    CloseGraphics();
    SetGraphicsDriver(nullptr);
    SetSystemDriver(nullptr);
    SetClock(nullptr);
  }
  // Opens full screen at 60 Hz and forgets the flips the measurement made.
  void OpenFullScreen() {
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    driver.flips.clear();
    driver.flip_times.clear();
  }

  TVirtualClock clock;
  TScriptedSystemDriver system{clock};
  FakeDriver driver{clock};
};

TEST_F(DisplayFrontEnd, PacedFlipsRunSixteenSeventeenSeventeenAndSixtyTakeOneSecond) {
  OpenFullScreen();  // flips cost no time here, so no hardware sync is found
  EXPECT_TRUE(SoftSyncEnabled());
  const int32_t start = clock.Millis();
  int hooked = 0;
  int handle = FlipHooks().Add([&](const int& sync) { hooked += sync == -1; }, 0);
  for (int i = 0; i < 60; ++i) Flip(-1);
  FlipHooks().Remove(handle);

  EXPECT_EQ(hooked, 60);
  ASSERT_EQ(driver.flip_times.size(), 60u);
  EXPECT_EQ(driver.flip_times.back() - start, 1000);
  std::vector<int> steps;
  int32_t previous = start;
  for (int32_t t : driver.flip_times) {
    steps.push_back(t - previous);
    previous = t;
  }
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i], i % 3 == 0 ? 16 : 17) << "flip " << i;
  }
  EXPECT_EQ(driver.flips, std::vector<int>(60, 0));  // paced flips do not wait for the hardware
}

TEST_F(DisplayFrontEnd, PacingNeverCatchesUpAfterAStall) {
  OpenFullScreen();
  clock.AdvanceBy(100);  // a long frame
  const int32_t stalled = clock.Millis();
  Flip(-1);
  EXPECT_EQ(clock.Millis(), stalled);  // late already: no sleep
  Flip(-1);
  EXPECT_EQ(clock.Millis() - stalled, 17);  // one period from the late flip, not a burst
  Flip(-1);
  EXPECT_EQ(clock.Millis() - stalled, 34);
}

TEST_F(DisplayFrontEnd, PacingWaitsAFrameAtMostWhenTheClockGoesBack) {
  OpenFullScreen();
  struct : TVirtualClock {
    int32_t Millis() override { return TVirtualClock::Millis() - 10000; }
  } set_back;
  SetClock(&set_back);
  Flip(-1);
  EXPECT_LE(set_back.TVirtualClock::Millis() - 100000, 17);
}

TEST_F(DisplayFrontEnd, MeasuredHardwareSyncWithinAMillisecondTurnsSoftSyncOff) {
  struct Case {
    int vsync_flip_ms;
    bool soft_sync;
  };
  for (Case c : {Case{15, false}, Case{16, false}, Case{17, false}, Case{14, true}, Case{18, true},
                 Case{0, true}}) {
    SCOPED_TRACE("vertical-sync flips of " + std::to_string(c.vsync_flip_ms) + " ms");
    driver.vsync_flip_ms = c.vsync_flip_ms;
    driver.flips.clear();
    const int32_t start = clock.Millis();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    EXPECT_EQ(SoftSyncEnabled(), c.soft_sync);
    if (!c.soft_sync) {
      EXPECT_EQ(driver.flips.size(), 3u);  // three good flips are enough
    }
    EXPECT_LE(clock.Millis() - start, 1000 + c.vsync_flip_ms);  // measuring stops after a second

    driver.flips.clear();
    const int32_t before = clock.Millis();
    Flip(-1);
    if (c.soft_sync) {
      EXPECT_EQ(driver.flips, std::vector<int>{0});
    } else {
      // The hardware paces: swap with vertical sync and do not sleep as well.
      EXPECT_EQ(driver.flips, std::vector<int>{1});
      EXPECT_EQ(clock.Millis() - before, c.vsync_flip_ms);
    }
  }
}

TEST_F(DisplayFrontEnd, WindowedAndUnpacedDisplaysAreNotMeasured) {
  driver.vsync_flip_ms = 16;
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));  // a window: no measuring, soft sync on
  EXPECT_TRUE(driver.flips.empty());
  EXPECT_TRUE(SoftSyncEnabled());

  ASSERT_TRUE(OpenGraphics(800, 600, 0, 0, 0));  // no rate: no pacing at all
  EXPECT_FALSE(SoftSyncEnabled());
  const int32_t before = clock.Millis();
  Flip(-1);
  EXPECT_EQ(driver.flips, std::vector<int>{0});  // a window's depth is 0: no vertical sync
  EXPECT_EQ(clock.Millis(), before);
}

TEST_F(DisplayFrontEnd, OpeningClosesThePreviousDisplayFirstAndCountsEveryOpenAndClose) {
  driver.vsync_flip_ms = 16;  // keeps the measurement short
  const int start = DisplaySequence();
  auto first = OpenGraphics(800, 600, 32, 60, 4);
  ASSERT_TRUE(first);
  EXPECT_EQ(driver.created_flags, 4 | 2);           // the driver's default flags are added
  EXPECT_EQ(driver.width_seen_while_setting, 800);  // settings known while it is made current
  EXPECT_EQ(DisplaySequence(), start + 1);
  EXPECT_NE(DisplaySequence(), 0);

  auto second = OpenGraphics(800, 600, 32, 60, 0);
  ASSERT_TRUE(second);
  std::vector<std::string> expected{"create", "set", "close", "create", "set"};
  EXPECT_EQ(driver.log, expected);
  EXPECT_EQ(DisplaySequence(), start + 3);
  EXPECT_EQ(CurrentGraphics(), second);

  // A failed open still closes what was open.
  driver.fail_create = true;
  EXPECT_FALSE(OpenGraphics(800, 600, 32, 60, 0));
  EXPECT_EQ(driver.log.back(), "create");
  EXPECT_EQ(driver.log[driver.log.size() - 2], "close");
  EXPECT_EQ(DisplaySequence(), start + 4);
  EXPECT_FALSE(CurrentGraphics());
  EXPECT_EQ(GraphicsWidth(), 0);
  CloseGraphics();  // nothing open: nothing changes
  EXPECT_EQ(DisplaySequence(), start + 4);
}

TEST_F(DisplayFrontEnd, FullScreenCentresThePointerAndInputIsPolledWhileOpen) {
  driver.vsync_flip_ms = 16;
  system.MovePointerTo(10, 20);
  ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
  EXPECT_EQ(system.pointer_x(), 400);
  EXPECT_EQ(system.pointer_y(), 300);
  EXPECT_TRUE(PolledInputRunning());
  CloseGraphics();
  EXPECT_FALSE(PolledInputRunning());

  system.MovePointerTo(10, 20);
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));  // a window leaves the pointer alone
  EXPECT_EQ(system.pointer_x(), 10);
  EXPECT_EQ(system.pointer_y(), 20);
}

}  // namespace
