// The game cursor: relative steering with truncation, clamps, the gaze window, the tip offset of
// the hit test, click counting, and the harness's steering that the scene tests rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "display/graphics.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"
#include "game/cursor.h"
#include "game/stage_machine.h"
#include "game/state.h"
#include "system/scripted_system_driver.h"
#include "tests/support/play_harness.h"

namespace {

struct CursorTrace {
  std::vector<int> x, y, clicked;
};

// Plays frames that do nothing but UpdateCursor(speed), starting from (start_x, start_y); the
// player's script runs once per frame and its input is read by the next UpdateCursor.
CursorTrace RunCursor(float speed, int start_x, int start_y, int frames, Player player) {
  CursorTrace trace;
  PlayOptions options;
  options.body = [&] {
    g.cursor_x = start_x;
    g.cursor_y = start_y;
    for (int i = 0; i < frames; ++i) {
      UpdateCursor(speed);
      trace.x.push_back(g.cursor_x);
      trace.y.push_back(g.cursor_y);
      trace.clicked.push_back(g.mouse_clicked);
      WaitFrame();
      Flip(-1);
    }
  };
  Play(options, std::move(player));
  return trace;
}

// The cursor's x after each frame of one motion per frame along x.
std::vector<int> StepsX(float speed, int start_x, const std::vector<int>& motions) {
  CursorTrace t =
      RunCursor(speed, start_x, 300, static_cast<int>(motions.size()) + 1, [&](PlayerControl& p) {
        if (p.frame() < static_cast<long>(motions.size())) {
          p.MoveBy(motions[p.frame()], 0);
        }
      });
  return std::vector<int>(t.x.begin() + 1, t.x.end());
}

}  // namespace

TEST(Cursor, SlowSpeedsTruncateTowardZero) {
  // 0.8: +1 pixel stays, -1 moves one left, +2 moves one right. -5 is 4.00000006 pixels in
  // double precision, which a double sum would truncate to 5; rounded to float it is 4.
  EXPECT_EQ(StepsX(0.8f, 300, {1, -1, 2, 0, -5}), (std::vector<int>{300, 299, 300, 300, 296}));

  // 0.008: any leftward motion of 1..125 pixels moves exactly one pixel left ...
  std::vector<int> left;
  for (int d = 1; d <= 125; ++d) left.push_back(-d);
  std::vector<int> xs = StepsX(0.008f, 500, left);
  for (int i = 0; i < 125; ++i) EXPECT_EQ(xs[i], 499 - i) << "motion " << left[i];

  // ... while rightward it takes 125 pixels in one frame to gain one.
  EXPECT_EQ(StepsX(0.008f, 500, {124, 1, 125}), (std::vector<int>{500, 500, 501}));
}

TEST(Cursor, StaysOnScreenHoweverFastTheMouseMoves) {
  // Motions as large as the window allows (the pointer starts each frame at the centre).
  CursorTrace t = RunCursor(0.8f, 10, 12, 6, [](PlayerControl& p) {
    if (p.frame() == 0) p.MoveBy(-400, -300);  // the sum goes negative
    if (p.frame() >= 1 && p.frame() <= 3) p.MoveBy(399, 299);
    if (p.frame() == 4) p.MoveBy(-3, -3);
  });
  EXPECT_EQ(t.x, (std::vector<int>{10, 6, 325, 644, 794, 791}));
  EXPECT_EQ(t.y, (std::vector<int>{12, 9, 248, 487, 591, 588}));
}

TEST(Cursor, GazeWindowIsNineWideAndCentredRightOfTheFace) {
  const int offsets[] = {-46, -45, -37, -36, -10, -9, -1, 0, 8, 9, 36, 44, 45, 46};
  const int expected[] = {-5, -5, -5, -4, -2, -1, -1, 0, 0, 1, 4, 4, 5, 5};
  std::vector<int> look_x, look_y;
  PlayOptions options;
  options.body = [&] {
    g.face_x = 300;
    g.face_y = 250;
    for (int offset : offsets) {
      g.cursor_x = g.face_x + offset;
      g.cursor_y = g.face_y + offset;
      UpdateCursor(0.8f);  // no motion: the cursor stays put
      look_x.push_back(g.look_x);
      look_y.push_back(g.look_y);
    }
  };
  Play(options, nullptr);
  EXPECT_EQ(look_x, std::vector<int>(std::begin(expected), std::end(expected)));
  EXPECT_EQ(look_y, std::vector<int>(std::begin(expected), std::end(expected)));
}

TEST(Cursor, DistanceIsMeasuredToTheTipAndTruncated) {
  ResetGameState();
  g.face_x = 400;
  g.face_y = 300;
  g.cursor_x = 406;  // tip exactly on the face centre
  g.cursor_y = 310;
  EXPECT_EQ(CursorDistance(), 0);
  g.cursor_x = 406 + 42;  // sqrt(42^2 + 16^2) = 44.94
  g.cursor_y = 310 - 16;
  EXPECT_EQ(CursorDistance(), 44);
  g.cursor_x = 406 - 27;  // 27-36-45
  g.cursor_y = 310 + 36;
  EXPECT_EQ(CursorDistance(), 45);
  g.cursor_x = 400;  // the centre itself is off by the tip: sqrt(36 + 100)
  g.cursor_y = 300;
  EXPECT_EQ(CursorDistance(), 11);
}

TEST(Cursor, ClicksAreCountedPerFrame) {
  CursorTrace t = RunCursor(0.8f, 300, 300, 6, [](PlayerControl& p) {
    if (p.frame() == 0) {
      p.Click();
      p.Click();
    }
    if (p.frame() == 2) p.Press();  // held down from here on
  });
  EXPECT_EQ(t.clicked, (std::vector<int>{0, 2, 0, 1, 0, 0}));
}

TEST(Cursor, DrawsATranslucentArrowAndLeavesWhiteOpaqueAlphaBlend) {
  PlayOptions options;
  options.draw = DrawMode::Recording;
  int r = 0, gr = 0, b = 0;
  float alpha = 0;
  int blend = 0;
  std::vector<DrawCall> calls;
  options.body = [&] {
    g.cursor_x = 123;
    g.cursor_y = 234;
    SetColor(10, 20, 30);
    SetAlpha(0.25f);
    SetBlend(1);
    LastRecordingDriver()->Clear();
    UpdateCursor(0.8f);
    calls = LastRecordingDriver()->calls;
    GetColor(r, gr, b);
    alpha = GetAlpha();
    blend = GetBlend();
  };
  Play(options, nullptr);
  EXPECT_EQ(r + gr + b, 3 * 255);
  EXPECT_EQ(alpha, 1.0f);
  EXPECT_EQ(blend, 3);
  float alpha_at_draw = -1;
  int draws = 0;
  for (const DrawCall& call : calls) {
    if (call.name == "SetAlpha") alpha_at_draw = call.args[0];
    if (call.name == "DrawImage") {
      ++draws;
      EXPECT_EQ(call.args[4], 123);
      EXPECT_EQ(call.args[5], 234);
      EXPECT_FLOAT_EQ(alpha_at_draw, 0.7f);
    }
  }
  EXPECT_EQ(draws, 1);
}

TEST(Harness, SteersTheTipExactlyOntoATargetWithABriskHand) {
  struct Case {
    float speed;
    int start_x, start_y, tip_x, tip_y, frames;
  };
  for (const Case& c : {Case{0.8f, 190, 430, 400, 300, 40}, Case{0.8f, 700, 50, 12, 577, 60},
                        Case{0.5f, 300, 300, 301, 299, 5}, Case{0.008f, 400, 300, 396, 303, 16}}) {
    int largest_motion = 0;
    bool arrived = false;
    RunCursor(c.speed, c.start_x, c.start_y, c.frames, [&](PlayerControl& p) {
      const int before_x = p.driver->pointer_x(), before_y = p.driver->pointer_y();
      arrived = p.SteerTipTo(c.tip_x, c.tip_y, c.speed);
      largest_motion = std::max({largest_motion, std::abs(p.driver->pointer_x() - before_x),
                                 std::abs(p.driver->pointer_y() - before_y)});
    });
    EXPECT_TRUE(arrived) << "speed " << c.speed;
    EXPECT_EQ(g.cursor_x - 6, c.tip_x);
    EXPECT_EQ(g.cursor_y - 10, c.tip_y);
    EXPECT_LE(largest_motion, c.speed < 0.1f ? 125 : 60);
  }
}
