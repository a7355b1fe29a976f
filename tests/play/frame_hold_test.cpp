// Holding a frame: the program stops presenting once the frame is shown, waits there while time
// passes and events are pumped, goes on to a later hold when moved on, and ends on Escape.
#include <gtest/gtest.h>

#include <vector>

#include "display/graphics.h"
#include "game/frame_hold.h"
#include "game/headless_run.h"
#include "game/state.h"
#include "system/clock.h"
#include "system/polled_input.h"

TEST(FrameHold, ShowsTheFrameWaitsMovesOnAndEndsOnEscape) {
  HeadlessRun run(7);
  int64_t presented = 0;  // frames sampled, one per presented frame
  SetFrameInputFilter([&](FrameInput&) { ++presented; });
  struct Held {
    int64_t frame, presented, stage_frame;
  };
  std::vector<Held> holds;
  int pumps = 0;
  int32_t held_from = 0;
  HoldAtFrame(
      5,
      [&](int64_t frame) {
        holds.push_back({frame, presented, g.stage_frame});
        pumps = 0;
        held_from = ClockMillis();
      },
      [&]() -> int64_t {
        // Nothing is drawn or decided while held, however long it lasts.
        EXPECT_EQ(g.stage_frame, holds.back().stage_frame);
        if (++pumps == 30 && holds.size() == 1) return 4;  // not later: still held
        if (pumps == 40 && holds.size() == 1) return 9;
        if (pumps == 40) run.system().PressKey(27);
        return pumps > 100 ? 1000 : 0;  // never reached unless Escape went unheard
      });
  EXPECT_EQ(run.Play(), 0);
  ASSERT_EQ(holds.size(), 2u);
  EXPECT_EQ(holds[0].frame, 5);
  EXPECT_EQ(holds[0].presented, 5);  // frame 5 is on the screen, frame 6 is not
  EXPECT_EQ(holds[1].frame, 9);
  EXPECT_EQ(holds[1].presented, 9);
  EXPECT_EQ(presented, 9);  // Escape ended it inside the hold
  EXPECT_GE(ClockMillis() - held_from, 30 * 16);  // the hold waited for real ticks
  StopFrameHold();
}
