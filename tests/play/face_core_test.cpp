// The face: standard eyes following the gaze, the blink's start rule, click box and lid frames,
// and the blink schedule.
#include <gtest/gtest.h>

#include <vector>

#include "draw2d/null_driver.h"
#include "game/face.h"
#include "game/state.h"
#include "system/random.h"
#include "tests/support/play_harness.h"

namespace {

struct Oval {
  float x, y, w, h;
  bool operator==(const Oval&) const = default;
};

// Runs `draw` on a started game with the recording driver; returns the ovals it drew.
std::vector<Oval> OvalsDrawnBy(const std::function<void()>& draw) {
  std::vector<Oval> ovals;
  PlayOptions options;
  options.draw = DrawMode::Recording;
  options.body = [&] {
    LastRecordingDriver()->Clear();
    draw();
    for (const DrawCall& call : LastRecordingDriver()->calls) {
      if (call.name != "DrawOval") continue;
      // The driver gets the box relative to the drawing position (handle 0).
      ovals.push_back(
          {call.args[4], call.args[5], call.args[2] - call.args[0], call.args[3] - call.args[1]});
    }
  };
  Play(options, nullptr);
  return ovals;
}

// The face in a fixed place with the cursor far away and no click.
void Calm() {
  g.face_x = 400;
  g.face_y = 300;
  g.cursor_x = 100;
  g.cursor_y = 100;
  g.mouse_clicked = 0;
  g.look_x = 0;
  g.look_y = 0;
}

// The lids' y (0 when no lids were drawn) on each of `frames` frames of DrawBlink(lo, hi)
// starting at `first_frame`; `each` may change the state before every frame.
std::vector<float> LidRows(int first_frame, int frames, const std::function<void(int)>& each) {
  std::vector<float> rows;
  OvalsDrawnBy([&] {
    for (int f = first_frame; f < first_frame + frames; ++f) {
      g.stage_frame = f;
      if (each) each(f);
      const size_t before = LastRecordingDriver()->calls.size();
      DrawBlink(50, 260);
      float row = 0;
      const auto& calls = LastRecordingDriver()->calls;
      for (size_t i = before; i < calls.size(); ++i) {
        if (calls[i].name == "DrawOval") row = calls[i].args[5];
      }
      rows.push_back(row);
    }
  });
  return rows;
}

}  // namespace

TEST(Face, StandardEyesFollowTheGaze) {
  std::vector<Oval> up = OvalsDrawnBy([] {
    g.look_x = 0;
    g.look_y = -4;
    DrawStandardEyes();
  });
  ASSERT_EQ(up.size(), 4u);
  EXPECT_EQ(up[0], (Oval{10, 24, 30, 30}));
  EXPECT_EQ(up[1], (Oval{50, 24, 30, 30}));
  EXPECT_EQ(up[2], (Oval{15, 26, 20, 20}));
  EXPECT_EQ(up[3], (Oval{55, 26, 20, 20}));

  std::vector<Oval> right_down = OvalsDrawnBy([] {
    g.look_x = 5;
    g.look_y = 4;
    DrawStandardEyes();
  });
  ASSERT_EQ(right_down.size(), 4u);
  EXPECT_EQ(right_down[0].y, 26);
  EXPECT_EQ(right_down[2], (Oval{20, 34, 20, 20}));
  EXPECT_EQ(right_down[3], (Oval{60, 34, 20, 20}));
}

TEST(Blink, StartsOnTheFrameAfterItIsDueAndShowsFourLidFrames) {
  int phase_after = -1, due_after = -1;
  std::vector<float> rows = LidRows(99, 7, [&](int f) {
    if (f == 99) {
      Calm();
      g.blink_due = 100;
      g.blink_phase = 0;
    }
    if (f == 105) {
      phase_after = g.blink_phase;
      due_after = g.blink_due;
    }
  });
  // Nothing at 99 and 100; lids at 101..104 standing at 21, 22, 23, 22; then open again.
  EXPECT_EQ(rows, (std::vector<float>{0, 0, 21, 22, 23, 22, 0}));
  EXPECT_EQ(phase_after, 0);
  // Scheduled on the last lid frame (104): at least 50 and below 260 frames later.
  EXPECT_GE(due_after, 104 + 50);
  EXPECT_LT(due_after, 104 + 260);
}

TEST(Blink, LidsMoveWithTheEyeWhites) {
  std::vector<float> rows = LidRows(10, 1, [](int) {
    Calm();
    g.look_y = -5;  // look_y / 3 = -1
    g.blink_due = 0;
    g.blink_phase = 0;
  });
  EXPECT_EQ(rows, (std::vector<float>{20}));
}

TEST(Blink, AClickOverTheEyesStartsOrRestartsABlink) {
  // A click at frame 3, in the middle of a blink begun at frame 1, shuts the eyes again.
  std::vector<float> rows = LidRows(1, 7, [](int f) {
    Calm();
    if (f == 1) {
      g.blink_due = 0;
      g.blink_phase = 0;
    }
    if (f == 3) {
      g.cursor_x = 406;  // tip on the face centre
      g.cursor_y = 311;
      g.mouse_clicked = 1;
    }
  });
  EXPECT_EQ(rows, (std::vector<float>{21, 22, 21, 22, 23, 22, 0}));
}

TEST(Blink, TheClickBoxBoundsAreStrict) {
  struct Case {
    int tip_dx, tip_dy, clicked;
    bool blinks;
  };
  // Tip offsets from the face centre; the box is -35 < dx < 35 and -15 < dy < 15 (look_y 0).
  const Case cases[] = {{-35, 0, 1, false}, {35, 0, 1, false},  {-34, 0, 1, true},
                        {34, 0, 1, true},   {0, -15, 1, false}, {0, 15, 1, false},
                        {0, -14, 1, true},  {0, 14, 1, true},   {0, 0, 0, false}};
  for (const Case& c : cases) {
    std::vector<float> rows = LidRows(5, 1, [&](int) {
      Calm();
      g.blink_due = 1000;
      g.blink_phase = 0;
      g.cursor_x = g.face_x + c.tip_dx + 6;
      g.cursor_y = g.face_y + c.tip_dy + 11;
      g.mouse_clicked = c.clicked;
    });
    EXPECT_EQ(rows[0] != 0, c.blinks) << c.tip_dx << "," << c.tip_dy << " click " << c.clicked;
  }
}

TEST(Blink, ScheduleBlinkPicksAFrameInTheHalfOpenRangeAhead) {
  ResetGameState();
  SeedRandom(99);
  g.stage_frame = 37;
  int lowest = 1 << 30, highest = -1;
  for (int i = 0; i < 4000; ++i) {
    g.blink_phase = 3;
    ScheduleBlink(20, 50);
    EXPECT_EQ(g.blink_phase, 0);
    lowest = std::min(lowest, g.blink_due);
    highest = std::max(highest, g.blink_due);
  }
  EXPECT_EQ(lowest, 37 + 20);
  EXPECT_EQ(highest, 37 + 49);
}
