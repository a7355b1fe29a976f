// How long the start-up measurement of vertical sync runs, and what it decides, for swaps of
// scripted durations on the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "system/clock.h"
#include "system/scripted_system_driver.h"
#include "system/system_driver.h"
#include "system/virtual_clock.h"

namespace {

class ScriptedGraphics : public TGraphics {
 public:
  explicit ScriptedGraphics(TGraphicsDriver* driver) : _driver(driver) {}
  TGraphicsDriver* Driver() override { return _driver; }
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = 800, height = 600, depth = 24, hertz = 60, flags = 2;
  }
  void Close() override {}

 private:
  TGraphicsDriver* _driver;
};

// A vertical-sync swap takes the next scripted duration (the last one repeats).
class ScriptedSwapDriver : public TGraphicsDriver {
 public:
  explicit ScriptedSwapDriver(TVirtualClock& clock) : _clock(clock) {}
  std::shared_ptr<TGraphics> CreateGraphics(int, int, int, int, int) override {
    return std::make_shared<ScriptedGraphics>(this);
  }
  void SetGraphics(std::shared_ptr<TGraphics>) override {}
  void Flip(int sync) override {
    if (sync != 1) return;
    const size_t i = vsync_flips < durations.size() ? vsync_flips : durations.size() - 1;
    ++vsync_flips;
    _clock.AdvanceBy(durations[i]);
  }
  std::vector<int> durations{0};
  size_t vsync_flips = 0;

 private:
  TVirtualClock& _clock;
};

class SyncMeasureTest : public ::testing::Test {
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
  // Opens full screen at 60 Hz; returns the milliseconds the opening took.
  int Open(std::vector<int> durations) {
    driver.durations = std::move(durations);
    driver.vsync_flips = 0;
    const int32_t start = clock.Millis();
    EXPECT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    return clock.Millis() - start;
  }

  TVirtualClock clock;
  TScriptedSystemDriver system{clock};
  ScriptedSwapDriver driver{clock};
};

TEST_F(SyncMeasureTest, SwapsThatNeverWaitEndTheMeasurementAtOnce) {
  // A software renderer: every swap returns within a millisecond.
  EXPECT_LE(Open({1, 0, 1, 0}), 12);
  EXPECT_TRUE(SoftSyncEnabled());
  EXPECT_EQ(driver.vsync_flips, 12u);
  EXPECT_LT(Open({7}), 12 * 7 + 1);  // under half a period is still not a wait
  EXPECT_TRUE(SoftSyncEnabled());
  EXPECT_EQ(driver.vsync_flips, 12u);
}

TEST_F(SyncMeasureTest, AFewQueuedFramesBeforeTheWaitsStillFindTheHardwareSync) {
  // The driver takes three frames ahead, then every swap waits for the blank.
  Open({0, 0, 0, 16, 17, 16});
  EXPECT_FALSE(SoftSyncEnabled());
  EXPECT_EQ(driver.vsync_flips, 6u);
  // Eleven quick swaps and then the waits: still one run too short to conclude anything.
  std::vector<int> late(11, 0);
  late.insert(late.end(), {16, 16, 16});
  Open(late);
  EXPECT_FALSE(SoftSyncEnabled());
}

TEST_F(SyncMeasureTest, AnythingElseIsMeasuredForTheWholeSecond) {
  // Quick runs broken by slow swaps, and swaps of a faster refresh rate: neither answer is
  // certain early, and neither is vertical sync at 60 Hz.
  std::vector<int> broken;
  for (int i = 0; i < 200; ++i) {
    broken.insert(broken.end(), {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9});
  }
  EXPECT_GE(Open(broken), 1000);
  EXPECT_TRUE(SoftSyncEnabled());
  EXPECT_GE(Open({8}), 1000);
  EXPECT_TRUE(SoftSyncEnabled());
  EXPECT_GE(Open({18}), 1000);
  EXPECT_TRUE(SoftSyncEnabled());
}

}  // namespace
