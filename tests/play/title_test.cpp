// The title sequence played by the harness: the breathing, the fades, the waking cursor and the
// two ways out.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "draw2d/null_driver.h"
#include "game/cursor.h"
#include "game/state.h"
#include "tests/support/play_harness.h"

namespace {

// Long enough for the title's own decision at 810, not much of what follows.
PlayOptions TitleOnly(DrawMode draw = DrawMode::Null) {
  PlayOptions options;
  options.max_frames = 812;
  options.draw = draw;
  return options;
}

// A player that steers the tip onto (x, y) from `from_frame` on and clicks once it is there.
Player ClickAt(int x, int y, long from_frame, float speed = 0.8f) {
  return [=, clicked = false](PlayerControl& p) mutable {
    if (p.frame() < from_frame || clicked) return;
    if (p.SteerTipTo(x, y, speed)) {
      p.Click();
      clicked = true;
    }
  };
}

}  // namespace

TEST(Title, WithoutInputTheStoryGoesOnToStage2AtFrame810) {
  PlayResult result = Play(TitleOnly(), nullptr);
  ASSERT_FALSE(result.handovers.empty());
  const Handover& h = result.handovers[0];
  EXPECT_EQ(h.from, 0);
  EXPECT_EQ(h.to, 2);
  EXPECT_EQ(h.at_stage_frame, 810);
  EXPECT_EQ(h.frame, 809);  // decided in the pass drawn with 809, before it was presented
  EXPECT_EQ(result.stages()[1], 2);
}

TEST(Title, AClickOnTheFaceWakesIt) {
  PlayResult result = Play(TitleOnly(), ClickAt(400, 300, 400));
  ASSERT_FALSE(result.handovers.empty());
  EXPECT_EQ(result.handovers[0].to, 1);
  EXPECT_GT(result.handovers[0].at_stage_frame, 400);
  EXPECT_LT(result.handovers[0].at_stage_frame, 460);
}

TEST(Title, OnlyAClickOnTheDiscWakesIt) {
  // Just above the face (tip 49 pixels above the centre, cursor_y 261 = 255 + squash): asleep.
  PlayResult above = Play(TitleOnly(), ClickAt(400, 251, 700));
  ASSERT_FALSE(above.handovers.empty());
  EXPECT_EQ(above.handovers[0].to, 2);
  // The tip 44 pixels above the centre is on the disc.
  PlayResult on_top = Play(TitleOnly(), ClickAt(400, 256, 700));
  ASSERT_FALSE(on_top.handovers.empty());
  EXPECT_EQ(on_top.handovers[0].to, 1);
}

TEST(Title, AClickWhileTheCursorFadesInAlreadyWakesIt) {
  // The speed at the pass after frame k is (k + 1 - 320) / 100.
  PlayResult result = Play(TitleOnly(), [clicked = false](PlayerControl& p) mutable {
    if (p.frame() < 320 || clicked) return;
    const float speed = (p.frame() + 1 - 320) / 100.0f;
    if (CursorDistance() < 40 && p.state().cursor_y > 270) {
      p.Click();
      clicked = true;
    } else {
      p.SteerTipTo(400, 300, speed);
    }
  });
  ASSERT_FALSE(result.handovers.empty());
  EXPECT_EQ(result.handovers[0].to, 1);
  EXPECT_LE(result.handovers[0].at_stage_frame, 400);
}

TEST(Title, TheMouseIsNotReadBeforeFrame321) {
  // Motion and a click early on are only seen at 321, at the slowest speed of the fade-in.
  std::map<long, std::pair<int, int>> seen;  // frame -> (cursor_x, mouse_clicked)
  Play(TitleOnly(), [&](PlayerControl& p) {
    if (p.frame() == 10) {
      p.MoveBy(100, 0);
      p.Click();
    }
    if (p.frame() == 320 || p.frame() == 321 || p.frame() == 322) {
      seen[p.frame()] = {p.state().cursor_x, p.state().mouse_clicked};
    }
  });
  EXPECT_EQ(seen[320], std::make_pair(190, 0));
  EXPECT_EQ(seen[321], std::make_pair(191, 1));  // 190 + 100 x 1 / 100
  EXPECT_EQ(seen[322], std::make_pair(191, 0));
}

TEST(Title, TheFaceBreathesThenStaysFlat) {
  std::map<long, int> squash;
  Play(TitleOnly(), [&](PlayerControl& p) { squash[p.frame()] = p.state().squash; });
  EXPECT_EQ(squash[0], 6);
  EXPECT_EQ(squash[36], 5);
  EXPECT_EQ(squash[60], 1);
  EXPECT_EQ(squash[125], 1);
  EXPECT_EQ(squash[699], 6);
  EXPECT_EQ(squash[700], 6);
  EXPECT_EQ(squash[780], 6);  // 780 mod 180 = 60 would breathe out, but breathing has stopped
}

TEST(Title, ShadeTitleAndCreditFadeOnTheirRamps) {
  // For each frame: the alpha in force when each picture or the shade was drawn.
  std::map<long, std::map<int, float>> alpha_at;  // frame -> (x of the draw -> alpha)
  Play(TitleOnly(DrawMode::Recording), [&](PlayerControl& p) {
    float alpha = 1;
    for (const DrawCall& call : LastRecordingDriver()->calls) {
      if (call.name == "SetAlpha") alpha = call.args[0];
      const bool picture = call.name == "DrawImage" && (call.args[4] == 240 || call.args[4] == 540);
      const bool shade = call.name == "DrawRect" && call.args[4] == 350;
      if (picture || shade) alpha_at[p.frame()][static_cast<int>(call.args[4])] = alpha;
    }
    LastRecordingDriver()->Clear();
  });
  EXPECT_FLOAT_EQ(alpha_at[0][350], 1.0f);
  EXPECT_FLOAT_EQ(alpha_at[89][350], 1.0f / 90);
  EXPECT_EQ(alpha_at[90].count(350), 0u);

  EXPECT_EQ(alpha_at[50].count(240), 0u);
  EXPECT_FLOAT_EQ(alpha_at[51][240], 1.0f / 80);
  EXPECT_FLOAT_EQ(alpha_at[129][240], 79.0f / 80);
  EXPECT_FLOAT_EQ(alpha_at[130][240], 1.0f);
  EXPECT_FLOAT_EQ(alpha_at[310][240], -10.0f / 80);  // still drawn, clamped invisible

  EXPECT_EQ(alpha_at[100].count(540), 0u);
  EXPECT_FLOAT_EQ(alpha_at[101][540], 1.0f / 60);
  EXPECT_FLOAT_EQ(alpha_at[231][540], 69.0f / 70);
}
