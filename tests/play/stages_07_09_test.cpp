// Stages 7 to 9 played through the harness: every way out, and the jumps' rules.
#include <gtest/gtest.h>

#include <vector>

#include "system/random.h"
#include "tests/support/play_expect.h"
#include "tests/support/play_harness.h"

namespace {

// Where a play starts; the rest is the game's start values.
struct Start {
  int stage;
  int face_x = 400;
  int cursor_x = 190;
  int cursor_y = 430;
  bool yawned = false;
  int seed = 0;  // 0: the harness's own
};

// Plays from `start`; presses Escape once the play has left stages 7 to 9.
PlayResult PlayFrom(Start start, Player player = nullptr) {
  PlayOptions options;
  options.max_frames = 2000;
  options.setup = [&] {
    if (start.seed != 0) SeedRandom(start.seed);
    g.stage = start.stage;
    g.face_x = start.face_x;
    g.cursor_x = start.cursor_x;
    g.cursor_y = start.cursor_y;
    g.yawned = start.yawned;
  };
  return Play(options, [&](PlayerControl& pc) {
    if (pc.state().stage < 7 || pc.state().stage > 9) return pc.PressEscape();
    if (player) player(pc);
  });
}

}  // namespace

TEST(Stage7, KeepingStillLandsTheLeapThenLeadsThroughStage8To12) {
  int landed_y = -1;
  PlayResult r = PlayFrom({.stage = 7}, [&](PlayerControl& pc) {
    if (pc.state().stage == 7 && pc.state().stage_frame == 51) landed_y = pc.state().face_y;
  });
  EXPECT_EQ(landed_y, 300);
  ExpectHandover(r, 7, 8, 140);
  ExpectHandover(r, 8, 12, 120);
}

TEST(Stage7, LeapThatWouldLeaveTheMiddleIsMirrored) {
  int seed = 1;  // one whose first draws are a distance of 130 and a jump to the right
  for (;; ++seed) {
    SeedRandom(seed);
    if (RandomInt(100, 160) == 130 && RandomInt(0, 1) == 1) break;
  }
  for (auto [start_x, drift] : {std::pair{560, -130}, std::pair{550, 130}}) {
    int drift_seen = 0;
    PlayFrom({.stage = 7, .face_x = start_x, .seed = seed}, [&](PlayerControl& pc) {
      if (pc.state().stage == 7 && pc.state().stage_frame == 1) drift_seen = pc.state().scene_var_4;
    });
    EXPECT_EQ(drift_seen, drift) << "from x " << start_x;
  }
}

TEST(Stage7, RollsRightFromLeftOfTheMiddleAndLeftFromItsMiddle) {
  for (int x : {399, 400}) {
    int x_after = 0;
    float angle_after = 0;
    PlayFrom({.stage = 7}, [&](PlayerControl& pc) {
      if (pc.state().stage != 7) return;
      if (pc.state().stage_frame == 71) g.face_x = x;  // where the headstand ends
      if (pc.state().stage_frame == 72) {
        x_after = pc.state().face_x;
        angle_after = pc.state().scene_real;
      }
    });
    if (x == 399) {
      EXPECT_TRUE(x_after >= 401 && x_after <= 403) << x_after;
      EXPECT_EQ(angle_after, -5220);  // 174 degrees, rising toward upright
    } else {
      EXPECT_TRUE(x_after >= 398 && x_after <= 400) << x_after;
      EXPECT_EQ(angle_after, 5220);
    }
  }
}

TEST(Stage7, ClickOnTheLastDecisionWinsAndStage9IgnoresAnApproachOnItsFirst) {
  for (bool yawned : {false, true}) {
    std::vector<int> seen;
    PlayResult r = PlayFrom({.stage = 7, .yawned = yawned}, [&](PlayerControl& pc) {
      const GameState& s = pc.state();
      if (seen.empty() || seen.back() != s.stage) seen.push_back(s.stage);
      if (s.stage == 7 && s.stage_frame >= 120) pc.SteerTipTo(s.face_x + 20, s.face_y);
      if (s.stage == 7 && s.stage_frame == 139) pc.Click();
      if (s.stage == 9 && s.stage_frame == 0) pc.MoveBy(-6, 0);  // toward the face
    });
    EXPECT_EQ(seen, (std::vector<int>{7, 9}));
    ExpectHandover(r, 9, yawned ? 12 : 10, 150);
  }
}

TEST(Stage8, OnlyACursorComingWithin85PixelsLeadsToStage11) {
  // After its three steps the face is at (412, 309); the tip starts 86 or 2 pixels right of it.
  struct Case {
    int cursor_x, dx, to, at;
  };
  for (Case c : {Case{504, -2, 11, 11}, Case{504, -1, 12, 120}, Case{504, 0, 12, 120},
                 Case{420, 2, 12, 120}}) {
    Start start{.stage = 8, .cursor_x = c.cursor_x, .cursor_y = 319};
    PlayResult r = PlayFrom(start, [&](PlayerControl& pc) {
      if (pc.state().stage_frame == 10) pc.MoveBy(c.dx, 0);
    });
    SCOPED_TRACE(testing::Message() << c.cursor_x << " moving " << c.dx);
    ExpectHandover(r, 8, c.to, c.at);
  }
}

TEST(Stage9, JumpsAwayFromTheCursorHighUnlessItIsAboveAndTurnsBackNearTheEdge) {
  // Level with the face's centre counts as below, straight above or below as left.
  struct Case {
    int face_x, cursor_x, cursor_y, x_after, rise;
  };
  for (Case c :
       {Case{400, 400, 300, 670, 93}, Case{400, 401, 300, 130, 93}, Case{400, 400, 299, 670, 9},
        Case{400, 401, 299, 130, 9}, Case{650, 600, 430, 704 - 12 * 13, 93}}) {
    int x_after = 0, y_after = 0;
    Start start{.stage = 9, .face_x = c.face_x, .cursor_x = c.cursor_x, .cursor_y = c.cursor_y};
    PlayResult r = PlayFrom(start, [&](PlayerControl& pc) {
      if (pc.state().stage_frame == 15) x_after = pc.state().face_x, y_after = pc.state().face_y;
    });
    SCOPED_TRACE(testing::Message() << c.face_x << ": " << c.cursor_x << "," << c.cursor_y);
    EXPECT_EQ(x_after, c.x_after);
    EXPECT_EQ(300 - y_after, c.rise);
    ExpectHandover(r, 9, 10, 150);
  }
}

TEST(Stage9, ApproachWithin85PixelsLeadsToStage11) {
  int moved_at = -1;
  PlayResult r = PlayFrom({.stage = 9, .cursor_x = 300, .cursor_y = 400}, [&](PlayerControl& pc) {
    const GameState& s = pc.state();
    if (moved_at < 0 && s.stage_frame >= 20 && pc.SteerTipTo(s.face_x - 86, s.face_y)) {
      pc.MoveBy(3, 0);  // 86 to 84 pixels in one frame
      moved_at = s.stage_frame;
    }
  });
  ExpectHandover(r, 9, 11, moved_at + 1);
}
