// The last act's roads to the endings: the face flies to the top of the screen (45), dozes (46),
// is woken (47) and sleeps to the end (48), or is chased (49) into anger (50) or parting (51).
// Rows start in stage 45 the way the stages before it hand over: right after a poke on the face
// (14, 23) or with the cursor just come near it (24).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/journeys/journey.h"

namespace {

// The cursor centre placed for its tip to be at (tip_x, tip_y).
void EnterStage(int stage, int face_x, int face_y, int tip_x, int tip_y) {
  EnterStageWith(stage, face_x, face_y, tip_x + 6, tip_y + 10);
}
void AfterPokesInTheMiddle() { EnterStage(45, 400, 160, 400, 120); }   // stage 14's fourth poke
void AfterPokeAtTheBottom() { EnterStage(45, 420, 585, 420, 581); }    // 23: poked as it peeks
void AfterApproachAtTheBottom() { EnterStage(45, 380, 580, 380, 530); }  // 24: tip within 60

// In stage 46: the tip 35 below the face centre (a poke, its centre 33 from the nose), clicked
// once so that the decision after the click sees `poke_decided`.
StageScript PokeBelowNoseAt(int poke_decided) {
  return [=](PlayerControl& p, int f) {
    if (f >= 200) p.SteerTipTo(p.state().face_x, p.state().face_y + 35);
    if (f == poke_decided - 1) p.Click();
  };
}
// In stage 47: the poked face pulled the cursor's centre from (face_x + 6, face_y + 45) halfway
// to its nose.
void ExpectSnatched(PlayerControl& p, int f) {
  const GameState& s = p.state();
  EXPECT_TRUE(f != 1 || (s.cursor_x == s.face_x + 3 && s.cursor_y == s.face_y + 28));
}

// Stage 50 with the mouse left alone until the cursor is frozen, then shaken. The cursor only
// ever drops by 20 or 25 (less into the bottom clamp), at most three frames running; the speeds
// it is given are logged.
struct AngerLog {
  std::vector<float> speeds;
  int last_x = -1, last_y = -1, knocked_in_a_row = 0, frozen_frames = 0, calm_start = 0;
};
auto anger_log = std::make_shared<AngerLog>();
void WatchTheAnger(PlayerControl& p, int f) {
  const GameState& s = p.state();
  AngerLog& log = *anger_log;
  if (f == 0) return;  // the stage's entry has not run yet
  if (log.speeds.empty() || log.speeds.back() != s.scene_real) log.speeds.push_back(s.scene_real);
  if (log.last_y >= 0) {
    EXPECT_EQ(s.cursor_x, log.last_x);
    const int drop = s.cursor_y - log.last_y;
    log.knocked_in_a_row = drop == 0 ? 0 : log.knocked_in_a_row + 1;
    EXPECT_TRUE(drop == 0 || drop == 20 || drop == 25 || (s.cursor_y == 591 && drop > 0)) << drop;
    EXPECT_LE(log.knocked_in_a_row, 3);
  }
  log.last_x = s.cursor_x;
  log.last_y = s.cursor_y;
  log.calm_start = s.scene_var_1;
  if (s.scene_real != 0.0f) return;
  p.MoveBy(-30, -30);
  ++log.frozen_frames;
  if (s.scene_var_1 != 99999) {  // the resting spot keeps its distance from the cursor
    const int dx = s.scene_var_5 - s.cursor_x, dy = s.scene_var_6 - s.cursor_y;
    EXPECT_GE(dx * dx + dy * dy, 200 * 200);
  }
}

// Stage 51 entered with the tip `below` pixels under the face centre: by frame 60 the face is
// off the screen, going up (away from the tip) or, with the tip on the centre, down.
Journey PartingWithTipBelowCentre(const char* name, int below) {
  return {.name = name,
          .legs = {{51, 74, 531}},
          .hand = {{51,
                    [=](PlayerControl& p, int f) {
                      const int y = p.state().face_y;
                      EXPECT_TRUE(f != 60 || (below == 0 ? y >= 646 : y <= -46)) << y;
                    }}},
          .setup = [=] { EnterStage(51, 400, 300, 400, 300 + below); }};
}

JourneyRows rows({
    // Left alone after the flight the face sleeps; the cursor parked still 80 pixels below the
    // settled face is no approach.
    {.name = "S45_LeftAloneTheFaceDozesSleepsAndFadesToTheCard",
     .legs = {{45, 46, 240}, {46, 48, 440}, {48, 74, 491}},
     .hand = {{45, [](PlayerControl& p, int f) { EXPECT_TRUE(f < 11 || p.state().face_y == 40); }}},
     .setup = AfterPokesInTheMiddle},
    // Moving closer on every frame: only from frame 16 does it start the chase. Fidgeting on
    // every frame of the chase wears it out at its 401st frame; the angry face then knocks the
    // cursor down three times, one weakening per hit, and falls asleep.
    {.name = "S45_ComingAtTheFaceStartsAChaseThatEndsInAnger",
     .legs = {{45, 49, 16}, {49, 50, 401}, {50, 74}},
     .hand = {{45,
               [](PlayerControl& p, int f) {
                 if (f == 1) p.SteerTipTo(400, 115);
                 if (f >= 2) p.MoveBy(0, -1);
               }},
              {49, [](PlayerControl& p, int f) { p.MoveBy(f % 2 == 0 ? 10 : -10, 0); }},
              {50, WatchTheAnger}},
     .setup =
         [] {
           *anger_log = {};
           AfterPokesInTheMiddle();
         },
     .check =
         [](const PlayResult& result) {
           // The fade ends 848 frames into the calm phase.
           EXPECT_EQ(TakenLegs(result).back().at, anger_log->calm_start + 849);
           EXPECT_EQ(anger_log->speeds, (std::vector<float>{0.8f, 0.3f, 0.1f, 0.0f}));
           EXPECT_GT(anger_log->frozen_frames, 700);
         }},
    // Clicking on the fleeing face: 50 for each click plus 1 for the move, eight clicks suffice.
    {.name = "S45_ClickingTheFleeingFaceEndsTheChaseQuickly",
     .legs = {{45, 49}, {49, 50, 8}},
     .hand = {{45, [](PlayerControl& p, int f) { if (f >= 30) p.SteerTipTo(380, 100); }},
              {49,
               [](PlayerControl& p, int) {
                 p.SteerTipTo(p.state().face_x, p.state().face_y);
                 p.Click();
               }}},
     .setup = AfterApproachAtTheBottom},
    // Chased once, then left alone: the face looks away and glides off the screen.
    {.name = "S45_ChasedThenLeftStillTheFaceLeaves",
     .legs = {{45, 49}, {49, 51, 470}, {51, 74, 531}},
     .hand = {{45, [](PlayerControl& p, int f) { if (f >= 30) p.SteerTipTo(420, 100); }}},
     .setup = AfterPokeAtTheBottom},
    // Poked once the lids are all but shut: it counts as asleep and dozes straight off again.
    {.name = "S45_PokedAsItFallsAsleepItDozesOffAgainAtOnce",
     .legs = {{45, 46, 240}, {46, 47, 274}, {47, 48, 180}, {48, 74, 491}},
     .hand = {{46, PokeBelowNoseAt(274)}, {47, ExpectSnatched}},
     .setup = AfterPokeAtTheBottom},
    // A frame earlier it was still awake: it stays up a while.
    {.name = "S45_PokedJustBeforeSleepItStaysAwakeAWhile",
     .legs = {{45, 46, 240}, {46, 47, 273}, {47, 48, 280}},
     .hand = {{46, PokeBelowNoseAt(273)}, {47, ExpectSnatched}},
     .setup = AfterApproachAtTheBottom},
    // The cursor's centre 27 pixels below the nose does nothing; one pixel closer wakes the face.
    {.name = "S45_TheCursorAtTheNoseWakesTheFace",
     .legs = {{45, 46, 240}, {46, 47, 100}, {47, 48, 280}},
     .hand = {{46,
               [](PlayerControl& p, int f) {
                 if (f >= 10 && f < 99) p.SteerTipTo(p.state().face_x - 5, p.state().face_y + 29);
                 if (f == 99) p.MoveBy(0, -1);
               }}},
     .setup = AfterApproachAtTheBottom},
    // The chase entered with the cursor exactly on the face, level with the track's centre: no
    // direction to be pushed in, and the angle's cosine exactly -1. The face must stay on the
    // screen and keep fleeing.
    {.name = "S45_TheChaseStartsWithTheCursorOnTheFace",
     .legs = {{49, 51, 470}},
     .hand = {{49,
               [](PlayerControl& p, int) {
                 const GameState& s = p.state();
                 EXPECT_TRUE(s.face_x >= 40 && s.face_x <= 760 && s.face_y >= 30 && s.face_y <= 570)
                     << "face at (" << s.face_x << ", " << s.face_y << ")";
               }}},
     .setup = [] { EnterStage(49, 200, 300, 200 - 6, 300 - 10); }},
    // The tip one pixel under the centre used to leave the face no direction at all: the frame
    // never ended and Escape was dead. It now goes straight up, away from the tip.
    PartingWithTipBelowCentre("S45_PartingWithTheTipJustUnderTheCentre", 1),
    PartingWithTipBelowCentre("S45_PartingWithTheTipOnTheCentre", 0),
});

}  // namespace
