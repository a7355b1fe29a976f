// Whole journeys from the title through act one, one per branch, played like a person would:
// the scripted hand steers the cursor, clicks, jerks or keeps still, and the story must take the
// branch that behaviour calls for, on the frame it calls for.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "tests/support/play_expect.h"
#include "tests/support/play_harness.h"

namespace {

// What the hand does in a stage, frame by frame (f is the stage_frame just decided).
using StageScript = std::function<void(PlayerControl&, int f)>;

// Plays from the title. In the title the hand parks the cursor at `park` (tip coordinates) once
// the cursor can move; after that each stage runs its script, if any, and a stage beyond act
// one ends the run with Escape.
PlayResult Journey(std::map<int, StageScript> scripts, std::pair<int, int> park = {20, 560}) {
  PlayOptions options;
  options.max_frames = 6000;
  return Play(options, [&](PlayerControl& p) {
    const GameState& s = p.state();
    if (s.stage > 9) return p.PressEscape();
    auto script = scripts.find(s.stage);
    if (script != scripts.end()) return script->second(p, s.stage_frame);
    if (s.stage == 0 && p.frame() >= 400) p.SteerTipTo(park.first, park.second);
  });
}

// Steers onto the face's centre and clicks once the tip is there.
void PokeFace(PlayerControl& p) {
  if (p.SteerTipTo(p.state().face_x, p.state().face_y)) p.Click();
}

// Pokes the sleeping face awake once the cursor can move, then pokes the woken face.
std::map<int, StageScript> PokeAwakeThenPokeAgain() {
  return {
      {0,
       [](PlayerControl& p, int f) {
         if (f >= 400) PokeFace(p);
       }},
      {1,
       [](PlayerControl& p, int f) {
         if (f >= 60) PokeFace(p);
       }},
  };
}

void Jerk(PlayerControl& p) { p.MoveBy(40, 0); }

using Path = std::vector<int>;

}  // namespace

TEST(ActOne, LeftAloneTheFaceWakesPlaysAndGrowsWary) {
  PlayResult r = Journey({});
  EXPECT_EQ(r.stages(), (Path{0, 2, 3, 4, 5, 6, 7, 8, 12}));
  ExpectHandover(r, 0, 2, 810);
  ExpectHandover(r, 2, 3, 400);
  ExpectHandover(r, 3, 4, 305);
  ExpectHandover(r, 4, 5, 200);
  ExpectHandover(r, 5, 6, 215);
  ExpectHandover(r, 6, 7, 121);
  ExpectHandover(r, 7, 8, 140);
  ExpectHandover(r, 8, 12, 120);
  EXPECT_TRUE(g.yawned);
}

TEST(ActOne, WakingTheSleeperThenLeavingItAloneLetsItDozeOnIntoTheYawn) {
  bool woken = false;
  PlayResult r = Journey({
      {0,
       [&](PlayerControl& p, int f) {
         if (f < 400) return;
         if (!woken && p.SteerTipTo(400, 300)) {
           p.Click();
           woken = true;
         }
       }},
      // Away from the face, well out of its sight.
      {1, [](PlayerControl& p, int) { p.SteerTipTo(20, 560); }},
  });
  EXPECT_EQ(r.stages(), (Path{0, 1, 2, 3, 4, 5, 6, 7, 8, 12}));
  ExpectHandover(r, 1, 2, 370);
}

TEST(ActOne, PokingTheWokenFaceStartlesIt) {
  PlayResult r = Journey(PokeAwakeThenPokeAgain());
  // Nothing yawned yet: the startled face goes on to stage 10.
  EXPECT_EQ(r.stages(), (Path{0, 1, 9, 10}));
  ExpectHandover(r, 9, 10, 150);
}

TEST(ActOne, TheHalfAwakeFaceCatchesTheCursorWhereItLooks) {
  // Parked 100 pixels right of the face, level with it: seen once the gaze turns right.
  PlayResult r = Journey({}, {500, 290});
  EXPECT_EQ(r.stages(), (Path{0, 2, 9, 10}));
  ExpectHandover(r, 2, 9, 130);
}

TEST(ActOne, ComingCloseToTheHalfAwakeFaceStartlesIt) {
  PlayResult r = Journey({
      {2,
       [](PlayerControl& p, int f) {
         if (f >= 150) p.SteerTipTo(p.state().face_x, p.state().face_y + 30);
       }},
  });
  ASSERT_GE(r.stages().size(), 3u);
  EXPECT_EQ((Path{r.stages()[0], r.stages()[1], r.stages()[2]}), (Path{0, 2, 9}));
}

TEST(ActOne, APokeDuringTheYawnStartlesTheFaceAndTheYawnIsRemembered) {
  PlayResult r = Journey({
      {3,
       [](PlayerControl& p, int f) {
         if (f >= 150) PokeFace(p);
       }},
  });
  // Once the yawn has been seen, the startled face goes on to stage 12.
  EXPECT_EQ(r.stages(), (Path{0, 2, 3, 9, 12}));
  ExpectHandover(r, 9, 12, 150);
}

TEST(ActOne, AJerkAsTheYawnEndsAndAJerkDuringTheStareBothLeadToStage12) {
  PlayResult after_yawn = Journey({
      {3,
       [](PlayerControl& p, int f) {
         if (f == 290) Jerk(p);
       }},
  });
  EXPECT_EQ(after_yawn.stages(), (Path{0, 2, 3, 12}));
  ExpectHandover(after_yawn, 3, 12, 290);

  PlayResult during_stare = Journey({
      {4,
       [](PlayerControl& p, int f) {
         if (f == 100) Jerk(p);
       }},
  });
  EXPECT_EQ(during_stare.stages(), (Path{0, 2, 3, 4, 12}));
  ExpectHandover(during_stare, 4, 12, 107);
}

TEST(ActOne, TouchingTheHappyFaceKnocksItDownAndStartlesIt) {
  PlayResult r = Journey({
      {6,
       [](PlayerControl& p, int f) {
         if (f >= 1 && p.state().stage_scratch_b < 0)
           p.SteerTipTo(p.state().face_x, p.state().face_y);
       }},
  });
  EXPECT_EQ(r.stages(), (Path{0, 2, 3, 4, 5, 6, 9, 12}));
}

TEST(ActOne, PokingTheTumblingFaceStartlesIt) {
  PlayResult r = Journey({
      {7,
       [](PlayerControl& p, int f) {
         if (f >= 80) PokeFace(p);
       }},
  });
  EXPECT_EQ(r.stages(), (Path{0, 2, 3, 4, 5, 6, 7, 9, 12}));
}

TEST(ActOne, ApproachingTheWaryOrTheStartledFaceLeadsToStage11) {
  // Wary: the cursor creeps toward the face a few pixels a frame.
  PlayResult wary = Journey({
      {8,
       [](PlayerControl& p, int f) {
         if (f >= 10) p.SteerTipTo(p.state().face_x, p.state().face_y);
       }},
  });
  EXPECT_EQ(wary.stages(), (Path{0, 2, 3, 4, 5, 6, 7, 8, 11}));

  // Startled after a poke in stage 1: come back toward it once it has landed.
  auto poke_then_approach = PokeAwakeThenPokeAgain();
  poke_then_approach[9] = [](PlayerControl& p, int f) {
    if (f >= 30) p.SteerTipTo(p.state().face_x, p.state().face_y);
  };
  PlayResult startled = Journey(poke_then_approach);
  EXPECT_EQ(startled.stages(), (Path{0, 1, 9, 11}));
}
