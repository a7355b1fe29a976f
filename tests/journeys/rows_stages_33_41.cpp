// The endings of act three: the face falls asleep after the fight (33 to 35), dozes off beside
// the cursor (36 to 38), or is startled, hops and dozes again (39 to 41). Each row is a way a
// person might play them; together they take every hand-over out of stages 33 to 41.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/journeys/journey.h"

namespace {

// As stage 32 leaves things after the fight: the face mid-screen, the cursor off to one side.
void AfterTheFight() { EnterStageWith(33, 400, 300, 250, 450); }

// Steers onto the sleeping face at its slow cursor speed and clicks once, after the decisions of
// frame `click_at`: the click is taken in the next frame, whose decisions see click_at + 1.
StageScript PokeSleeperAfter(int click_at) {
  return [=](PlayerControl& p, int f) {
    if (f >= 300 && f < click_at) p.SteerTipTo(p.state().face_x, p.state().face_y, 0.6f);
    if (f == click_at) p.Click();
  };
}

// Stage 28 lets the caught cursor go with the face level with it, 51 pixels to its right.
void BesideTheCaughtCursor() { EnterStageWith(36, 351, 300, 300, 300); }

// Moves the pointer so the cursor (speed 0.8) lands exactly `dx` pixels further right.
void ShiftCursorBy(PlayerControl& p, int dx) { p.MoveBy(static_cast<int>(std::ceil(dx / 0.8)), 0); }

// While the face steps back (frames 16..20), bring the cursor onto the face centre in moves of at
// most 25 pixels, too small to count as a yank: the next step back finds no distance at all.
void CoverTheSteppingFace(PlayerControl& p, int f) {
  if (f < 16 || f > 19) return;
  const GameState& s = p.state();
  if (s.cursor_x == s.face_x) return;
  const int face_after_step = s.face_x + (s.face_x > s.cursor_x ? 5 : -5);
  int dx = face_after_step - s.cursor_x;
  if (dx > 25) dx = 25;
  ShiftCursorBy(p, dx);
}

// A dozing face (stage 37 from stage 27, stage 40 from stage 39) with the cursor resting exactly
// on its centre.
std::function<void()> DozingUnderTheCursor(int stage, int y) {
  return [=] { EnterStageWith(stage, 400, y, 400, y); };
}

// The face backed away sideways along the cursor's level, not thrown to a corner.
void BackedAwaySideways(int y) {
  EXPECT_EQ(g.face_y, y) << "the face left its level";
  EXPECT_LT(g.face_x, 400) << "the face did not back away";
  EXPECT_GT(g.face_x, 400 - 49 * 5) << "the face was thrown aside";
}

StageScript PokeFrom(int from_frame) {
  return [=](PlayerControl& p, int f) {
    if (f >= from_frame) PokeFace(p);
  };
}

int wake_frame_seen = -1;

JourneyRows rows({
    {.name = "S33_APokeOnTheSleepingFaceLetsItSleepOnRestlessly",
     .legs = {{33, 34, 484}, {34, 74}},
     .hand = {{33, PokeSleeperAfter(482)},
              {34, [](PlayerControl& p, int) { wake_frame_seen = p.state().stage_scratch_a; }}},
     .setup = AfterTheFight,
     .check =
         [](const PlayResult& result) {
           const std::vector<Leg> legs = TakenLegs(result);
           ASSERT_EQ(legs.size(), 2u);
           // The wait drawn by the poke, 100..250 frames, plus the 350 frames of the fades.
           EXPECT_GE(wake_frame_seen, 483 + 100);
           EXPECT_LE(wake_frame_seen, 483 + 250);
           EXPECT_EQ(legs[1].at, wake_frame_seen + 350);
         }},
    {.name = "S33_APokeOneFrameTooEarlyIsSleptThrough",
     .legs = {{33, 35, 800}, {35, 74, 1150}},
     .hand = {{33, PokeSleeperAfter(481)}},
     .setup = AfterTheFight},
    {.name = "S33_TheNudgingFaceFindsTheCursorOnItsNoseAndStillStepsBack",
     .legs = {{36, 37, 140}},
     .hand = {{36, CoverTheSteppingFace}},
     .setup = BesideTheCaughtCursor,
     .check =
         [](const PlayResult&) {
           EXPECT_EQ(g.face_y, 300);
           EXPECT_GT(g.face_x, g.cursor_x) << "the face should back off to the right, clear of it";
           EXPECT_LT(g.face_x, g.cursor_x + 20);
         }},
    {.name = "S33_YankingTheNudgedCursorAwayStartlesTheFace",
     .legs = {{36, 39, 41}, {39, 40, 80}, {40, 42}},
     .hand = {{36,
               [](PlayerControl& p, int f) {
                 if (f == 30) ShiftCursorBy(p, 25);  // just short of a yank
                 if (f == 40) ShiftCursorBy(p, 32);
               }},
              {40, PokeFrom(60)}},
     .setup = BesideTheCaughtCursor},
    {.name = "S33_TheCursorOnTheDozingFacesNoseLeavesItSleepingAway",
     .legs = {{37, 38, 350}, {38, 74, 450}},
     .setup = DozingUnderTheCursor(37, 300),
     .check = [](const PlayResult&) { BackedAwaySideways(300); }},
    {.name = "S33_PokingTheDozingFaceStartlesItAndItDozesOffAgain",
     .legs = {{37, 39}, {39, 40, 80}, {40, 41, 360}, {41, 74, 450}},
     .hand = {{37, PokeFrom(100)}},
     .setup = DozingUnderTheCursor(37, 400)},
    {.name = "S33_TheCursorOnTheRedozingFacesNoseLeavesItFallingAsleep",
     .legs = {{40, 41, 360}},
     .setup = DozingUnderTheCursor(40, 200),
     .check = [](const PlayResult&) { BackedAwaySideways(200); }},
});

}  // namespace
