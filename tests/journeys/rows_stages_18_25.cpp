// The winner's dance (18) and the swallowed cursor: the face that crept up on a still cursor
// swallows it (19), jumps with it (20) and lets it go (25), or the cursor struggles free (21) and
// the face falls, sinks and peeks back (22-24). Rows start in the stage, as the stage handing over
// leaves the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/cursor.h"
#include "system/numeric.h"
#include "tests/journeys/journey.h"

namespace {

// The hand at the window's corner: the largest offset a frame can have, 6 points of struggle.
void StruggleHard(PlayerControl& p) { p.MoveBy(399, 299); }

// What the rows observe.
struct Log {
  std::vector<int> legs, face_x, face_y;  // stage 18: dir_code after each choice, the track
  bool cursor_moved_inside = false;       // stage 19, from frame 11 on
  int released_x = -1, released_y = -1, face_x_then = 0, face_y_then = 0;  // stage 25, f 102
  int bounce_speed = -1, bounce_y = 0, highest_after_bounce = 1000;  // stage 22
} seen;

void DanceSetup() {
  seen = {};
  g.stage = 18;  // from stage 14 with the face where its replay left it
  g.cursor_x = 60;
  g.cursor_y = 560;
}
// Stage 12 hands over after its WaitFrame with the face near the cursor.
void SwallowSetup() {
  seen = {};
  g.stage = 19;
  g.cursor_x = 430;
  g.cursor_y = 340;
}
// Stage 19 at frame 300 leaves the face where the pushes took it and the struggle it scored.
std::function<void()> JumpSetup(int face_x, int face_y, int struggle) {
  return [=] {
    seen = {};
    g.stage = 20;
    g.face_x = face_x;
    g.face_y = face_y;
    g.cursor_x = face_x;
    g.cursor_y = face_y + 17;
    g.scene_var_5 = struggle;
  };
}

void WatchDance(PlayerControl& p, int f) {
  if (f <= 133) {
    seen.face_x.push_back(p.state().face_x);  // index f - 1
    seen.face_y.push_back(p.state().face_y);
  }
  if (f % 12 == 1 && f <= 133 && f != 49) seen.legs.push_back(p.state().scene_var_4);
}

constexpr int kAllRuledOut = 2 * 3 * 5 * 7;

void CheckDance(bool expect_boxed_in) {
  ASSERT_EQ(seen.legs.size(), 11u);
  bool boxed_in = false;
  for (size_t i = 0; i < seen.legs.size(); ++i) {
    const int leg = seen.legs[i];
    if (leg % kAllRuledOut == 0) {
      boxed_in = true;
      // Standing still: only the 5-pixel margin nudges move the face during the leg.
      const size_t first = 12 * (i < 4 ? i : i + 1);
      for (size_t k = std::max<size_t>(first, 1); k < first + 12; ++k) {
        EXPECT_EQ(Abs(seen.face_x[k] - seen.face_x[k - 1]) % 5, 0) << "leg " << i;
        EXPECT_EQ(Abs(seen.face_y[k] - seen.face_y[k - 1]) % 5, 0) << "leg " << i;
      }
      continue;
    }
    EXPECT_TRUE(leg == 2 || leg == 3 || leg == 5 || leg == 7) << "leg " << i << ": " << leg;
    if (i == 0 || i == 4) continue;  // the first leg, and the first after the pause
    EXPECT_NE(leg, seen.legs[i - 1]) << "the direction just danced, leg " << i;
    if (seen.legs[i - 1] % kAllRuledOut == 0) {
      EXPECT_EQ(leg, 7) << "breaking out, leg " << i;
    }
  }
  EXPECT_EQ(boxed_in, expect_boxed_in);
}

void WatchRelease(PlayerControl& p, int f) {
  if (f != 103) return;
  seen.released_x = p.state().cursor_x;
  seen.released_y = p.state().cursor_y;
  seen.face_x_then = p.state().face_x;
  seen.face_y_then = p.state().face_y;
}

JourneyRows rows({
    {.name = "S18_TheWinnerDancesNeverTheSameWayTwiceThenLaughs",
     .legs = {{18, 30, 300}},
     .hand = {{18, WatchDance}},
     .setup = DanceSetup,
     .check = [](const PlayResult&) { CheckDance(false); }},
    // A run whose choices box the face in (every direction ruled out, RandomInt(1, 0) drawn): it
    // stands still until a draw of 1 sends it up.
    {.name = "S18_ABoxedInDancerStandsStillUntilItBreaksOutUpward",
     .legs = {{18, 30, 300}},
     .hand = {{18, WatchDance}},
     .setup = DanceSetup,
     .seed = 241,
     .check = [](const PlayResult&) { CheckDance(true); }},
    {.name = "S18_LeftAloneTheSwallowedCursorRidesTwoJumpsAndSlidesOut",
     .legs = {{19, 20, 300}, {20, 25, 102}, {25, 27, 160}},
     .setup = SwallowSetup},
    // The hardest struggle from the first frame of pushing (19) frees the cursor on decision 29;
    // the swallowed cursor itself never moves meanwhile.
    {.name = "S18_StrugglingHardFreesTheCursorWhichCrawlsThenTheFaceFallsAndPeeks",
     .legs = {{19, 21, 29}, {21, 22, 50}, {22, 23}, {23, 24, 265}, {24, 26, 200}},
     .hand = {{19,
               [](PlayerControl& p, int f) {
                 static int x, y;
                 if (f == 11) x = p.state().cursor_x, y = p.state().cursor_y;
                 if (f > 11 && (p.state().cursor_x != x || p.state().cursor_y != y)) {
                   seen.cursor_moved_inside = true;
                 }
                 if (f >= 18) StruggleHard(p);
               }},
              {21, [](PlayerControl& p, int) { p.MoveBy(-1, 0); }},  // never still: crawls on
              {24, [](PlayerControl& p, int) { KeepAway(p); }}},
     .setup = SwallowSetup,
     .check = [](const PlayResult&) { EXPECT_FALSE(seen.cursor_moved_inside); }},
    // 19 frames of a 3-point struggle before frame 300 leave 57: short of stage 19's 59, enough
    // for stage 20's 56 on its first decision. Then a poke on the face rising in stage 23.
    {.name = "S18_AStruggleRightUpToTheEndFreesTheCursorAsTheJumpsBegin",
     .legs = {{19, 20, 300}, {20, 21, 1}, {21, 22, 30}, {22, 23}, {23, 45}},
     .hand = {{19, [](PlayerControl& p, int f) { if (f >= 281) p.MoveBy(301, 0); }},
              {23,
               [](PlayerControl& p, int f) {
                 if (f < 181) return;
                 p.SteerTipTo(p.state().face_x, std::min(p.state().face_y, 581));
                 if (CursorDistance() < 40) p.Click();
               }}},
     .setup = SwallowSetup},
    // The struggle wins at the top of the leap (decision 30, face at y 0..2): the cursor comes
    // out only once the face is below y 65 again, on decision 42.
    {.name = "S18_FreedAtTheTopOfTheLeapTheCursorWaitsForTheFaceToComeDown",
     .legs = {{20, 21, 42}},
     .hand = {{20, [](PlayerControl& p, int f) { if (f >= 20 && f <= 29) StruggleHard(p); }}},
     .setup = JumpSetup(400, 200, 0)},
    // Pushes carry the unclamped face past the right and bottom edges between the jumps and in
    // stage 25; the cursor let go at its mouth still reappears on the screen.
    {.name = "S18_PushedOffTheScreenTheFaceLetsTheCursorGoOnIt",
     .legs = {{20, 25, 102}, {25, 27, 160}},
     .hand = {{20,
               [](PlayerControl& p, int f) {
                 if ((f >= 49 && f <= 59) || f >= 99) p.MoveBy(301, 101);
               }},
              {25,
               [](PlayerControl& p, int f) {
                 WatchRelease(p, f);
                 if (f < 101) p.MoveBy(60, 60);
               }}},
     .setup = JumpSetup(756, 556, 0),
     .check = [](const PlayResult&) {
       EXPECT_GT(seen.face_x_then + 2, 794);
       EXPECT_GT(seen.face_y_then + 29, 591);
       EXPECT_EQ(seen.released_x, 794);
       EXPECT_EQ(seen.released_y, 591);
     }},
    // Entered just above the floor, the lift leaves the face at 640..644 and the first fall step
    // is under a pixel: the bounce has speed 0, the face sinks instead of rising, and still goes.
    {.name = "S18_FallingFromNearTheFloorBouncesWithoutSpeedAndStillSinks",
     .legs = {{22, 23}},
     .hand = {{22,
               [](PlayerControl& p, int) {
                 const GameState& s = p.state();
                 if (s.stage_scratch_a >= 0 && seen.bounce_speed < 0) {
                   seen.bounce_speed = s.scene_var_3;
                   seen.bounce_y = s.face_y;
                 } else if (seen.bounce_speed >= 0) {
                   seen.highest_after_bounce = std::min(seen.highest_after_bounce, s.face_y);
                 }
               }}},
     .setup = [] {
       seen = {};
       g.stage = 22;
       g.face_y = 646;
     },
     .max_frames = 400,
     .check = [](const PlayResult&) {
       EXPECT_EQ(seen.bounce_speed, 0);
       EXPECT_EQ(seen.bounce_y, 556);
       EXPECT_GE(seen.highest_after_bounce, 556);
     }},
    {.name = "S18_ComingCloseToThePeekingFaceSendsItAway",
     .legs = {{24, 45}},
     .hand = {{24, [](PlayerControl& p, int) { p.SteerTipTo(p.state().face_x, p.state().face_y); }}},
     .setup = [] {  // stage 23 leaves the face peeking over the bottom edge
       g.stage = 24;
       g.face_x = 420;
       g.face_y = 580;
       g.cursor_x = 60;
       g.cursor_y = 100;
     }},
});

}  // namespace
