// The stage machine: SetStage, WaitFrame, the stage table, the closing card and the harness's
// run isolation.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"
#include "game/stage_machine.h"
#include "game/state.h"
#include "system/polled_input.h"
#include "system/random.h"
#include "system/scripted_system_driver.h"
#include "system/system_driver.h"
#include "tests/support/play_harness.h"

namespace {

PlayOptions WithBody(std::function<void()> body) {
  PlayOptions options;
  options.body = std::move(body);
  return options;
}

}  // namespace

TEST(StageMachine, SetStageShiftsBlinkDueAndResetsTheStageCounters) {
  ResetGameState();
  std::vector<std::tuple<int, int, int>> seen;
  const int hook = StageChangeHooks().Add(
      [&](const StageChange& c) { seen.emplace_back(c.from, c.to, c.at_stage_frame); }, 0);
  g.stage = 5;
  g.stage_frame = 250;
  g.blink_due = 300;
  g.stage_scratch_a = 7;
  g.stage_scratch_b = 8;
  g.scene_var_3 = 42;

  SetStage(9);
  EXPECT_EQ(g.stage, 9);
  EXPECT_EQ(g.blink_due, 50);
  EXPECT_EQ(g.stage_frame, 0);
  EXPECT_EQ(g.stage_scratch_a, -1);
  EXPECT_EQ(g.stage_scratch_b, -1);
  EXPECT_EQ(g.scene_var_3, 42);

  // A second call in the same pass decides the stage; blink_due is not shifted twice.
  SetStage(12);
  EXPECT_EQ(g.stage, 12);
  EXPECT_EQ(g.blink_due, 50);
  EXPECT_EQ(seen, (std::vector<std::tuple<int, int, int>>{{5, 9, 250}, {9, 12, 0}}));
  StageChangeHooks().Remove(hook);
}

TEST(StageMachine, FirstPassDrawsWithZeroOrWithOneAfterAnEarlySetStage) {
  std::vector<int> drawn0, drawn1, decided1;
  PlayResult result = Play(WithBody([&] {
                             while (g.stage == 0) {
                               drawn0.push_back(g.stage_frame);
                               if (g.stage_frame == 2) SetStage(1);  // before WaitFrame
                               WaitFrame();
                               Flip(-1);
                             }
                             while (g.stage == 1) {
                               drawn1.push_back(g.stage_frame);
                               WaitFrame();
                               decided1.push_back(g.stage_frame);
                               if (g.stage_frame == 3) SetStage(2);
                               Flip(-1);
                             }
                           }),
                           nullptr);
  EXPECT_EQ(drawn0, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(drawn1, (std::vector<int>{1, 2}));
  EXPECT_EQ(decided1, (std::vector<int>{2, 3}));
  ASSERT_EQ(result.handovers.size(), 2u);
  EXPECT_EQ(result.handovers[0].at_stage_frame, 2);
  EXPECT_EQ(result.handovers[1].at_stage_frame, 3);
  EXPECT_EQ(result.stages(), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exit_status, 0);
}

TEST(StageMachine, WaitFrameCountsOnlyFrameTimerTicks) {
  // A busy player floods the queue with motion, buttons and keys; each WaitFrame still adds one.
  std::vector<int> after_wait;
  PlayResult result = Play(WithBody([&] {
                             for (int i = 0; i < 30; ++i) {
                               WaitFrame();
                               after_wait.push_back(g.stage_frame);
                               Flip(-1);
                             }
                           }),
                           [](PlayerControl& p) {
                             for (int i = 0; i < 5; ++i) {
                               p.MoveBy(3, -2);
                               p.Click(1);
                               p.Click(2);
                             }
                             p.driver->PressKey(65);
                             p.driver->ReleaseKey(65);
                           });
  ASSERT_EQ(after_wait.size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(after_wait[i], i + 1);
  EXPECT_EQ(result.frames, 30);
}

TEST(StageMachine, AStageWithoutALoopFallsThroughAndEndsTheProgram) {
  PlayOptions options;
  options.setup = [] { g.stage = 60; };
  PlayResult result = Play(options, nullptr);
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.frames, 0);
  EXPECT_EQ(result.stages(), (std::vector<int>{60}));
}

TEST(StageMachine, EscapeEndsTheProgramAtTheNextWaitFrame) {
  PlayResult result = Play({}, [](PlayerControl& p) {
    if (p.frame() == 5) p.PressEscape();
  });
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.frames, 6);
  EXPECT_EQ(g.stage, 0);
  EXPECT_EQ(g.stage_frame, 6);  // the WaitFrame that saw Escape did not count a frame
}

TEST(StageMachine, EndProgramWithoutAHandlerExitsTheProcessWithItsStatus) {
  SetEndProgramHandler(nullptr);
  EXPECT_EXIT(EndProgram(3), ::testing::ExitedWithCode(3), "");
  EXPECT_EXIT(EndProgram(), ::testing::ExitedWithCode(0), "");
}

TEST(ClosingCard, BlackForElevenFramesThenTheCardUntilFrame100) {
  PlayOptions options;
  options.draw = DrawMode::Recording;
  options.setup = [] { g.stage = 74; };
  std::vector<int> card_frames;
  float scale_x = 0, scale_y = 0;
  PlayResult result = Play(options, [&](PlayerControl& p) {
    GetScale(scale_x, scale_y);
    TRecordingQuill2DDriver* rec = LastRecordingDriver();
    for (const DrawCall& call : rec->calls) {
      if (call.name == "DrawImage" && call.args[4] == 750 && call.args[5] == 570) {
        card_frames.push_back(static_cast<int>(p.frame()));
      }
    }
    rec->Clear();
  });
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exit_status, 0);
  // Frames drawn with stage_frame 0..99 are presented; the one drawn with 100 is not.
  EXPECT_EQ(result.frames, 100);
  ASSERT_EQ(card_frames.size(), 89u);
  EXPECT_EQ(card_frames.front(), 11);
  EXPECT_EQ(card_frames.back(), 99);
  EXPECT_FLOAT_EQ(scale_x, 0.7f);
  EXPECT_FLOAT_EQ(scale_y, 0.7f);
}

TEST(ClosingCard, EscapeDuringTheCardEndsWithStatusZero) {
  PlayOptions options;
  options.setup = [] { g.stage = 74; };
  PlayResult result = Play(options, [](PlayerControl& p) {
    if (p.frame() == 20) p.PressEscape();
  });
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.frames, 21);
}

TEST(StartUp, LeavesTheGameReadyForItsFirstStage) {
  PlayOptions options;
  options.seed = 777;
  int blend = 0, mask_r = -1, mask_g = -1, mask_b = -1, pointer_x = 0, pointer_y = 0;
  bool pointer_visible = true, timer = false;
  double first_draw = -1;
  std::vector<TImage*> images;
  options.body = [&] {
    blend = GetBlend();
    GetMaskColor(mask_r, mask_g, mask_b);
    pointer_visible = static_cast<TScriptedSystemDriver*>(CurrentSystemDriver())->mouse_visible();
    pointer_x = PointerX();
    pointer_y = PointerY();
    timer = g.frame_timer != nullptr;
    first_draw = RandomUnit();
    for (auto* image : {&g.face_image, &g.closed_eye_image, &g.cursor_image, &g.mouth1_image,
                        &g.mouth2_image, &g.mouth3_image, &g.mouth4_image, &g.mouth5_image,
                        &g.eye2_image, &g.end_image, &g.title_image, &g.title2_image}) {
      images.push_back(image->get());
    }
    // Mid-handled: every image is drawn centred on its position.
    if (g.cursor_image) {
      EXPECT_FLOAT_EQ(g.cursor_image->handle_x, g.cursor_image->width * 0.5f);
    }
  };
  PlayResult result = Play(options, nullptr);
  EXPECT_TRUE(result.ended);
  EXPECT_EQ(blend, 1);
  EXPECT_EQ(mask_r, 255);
  EXPECT_EQ(mask_g, 0);
  EXPECT_EQ(mask_b, 0);
  EXPECT_FALSE(pointer_visible);
  EXPECT_EQ(pointer_x, 400);
  EXPECT_EQ(pointer_y, 300);
  EXPECT_TRUE(timer);
  for (TImage* image : images) EXPECT_NE(image, nullptr);
  SeedRandom(777);
  EXPECT_EQ(first_draw, RandomUnit());
}

TEST(Harness, RunsAreIsolatedFromEachOther) {
  // A run cut short by Escape in the middle of the title leaves nothing behind for the next.
  PlayOptions options;
  options.max_frames = 815;
  PlayResult first = Play(options, nullptr);
  Play({}, [](PlayerControl& p) {
    p.MoveBy(37, 11);
    p.Press(1);
    if (p.frame() == 450) p.PressEscape();
  });
  PlayResult again = Play(options, nullptr);
  ASSERT_EQ(first.handovers.size(), 1u);
  ASSERT_EQ(again.handovers.size(), 1u);
  EXPECT_EQ(again.handovers[0].frame, first.handovers[0].frame);
  EXPECT_EQ(again.handovers[0].to, 2);
  EXPECT_EQ(g.cursor_x, 190);  // no motion was read in this run's title
}
