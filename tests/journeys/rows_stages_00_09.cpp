// Act one from the title: the face wakes, plays and is startled or grows wary. Each row is a way
// a person might play it; together they take every hand-over out of stages 0 to 9.
#include "tests/journeys/journey.h"

namespace {

// Once the cursor can move in the title: pokes the sleeping face awake.
void PokeAwake(PlayerControl& p, int f) {
  if (f >= 400) PokeFace(p);
}
void ParkAway(PlayerControl& p, int f) {
  if (f >= 400) KeepAway(p);
}
void Jerk(PlayerControl& p) { p.MoveBy(40, 0); }

// From `from_frame` on, the tip creeps onto the face.
StageScript ApproachFrom(int from_frame, int dy = 0) {
  return [=](PlayerControl& p, int f) {
    if (f >= from_frame) p.SteerTipTo(p.state().face_x, p.state().face_y + dy);
  };
}
StageScript PokeFrom(int from_frame) {
  return [=](PlayerControl& p, int f) {
    if (f >= from_frame) PokeFace(p);
  };
}

const std::vector<Leg> kWakesAlone = {{0, 2, 810}, {2, 3, 400}, {3, 4, 305},
                                      {4, 5, 200}, {5, 6, 215}, {6, 7, 121}, {7, 8, 140}};

std::vector<Leg> WakesAloneThen(std::vector<Leg> tail, size_t keep = 7) {
  std::vector<Leg> legs(kWakesAlone.begin(), kWakesAlone.begin() + keep);
  legs.insert(legs.end(), tail.begin(), tail.end());
  return legs;
}

JourneyRows rows({
    {.name = "S00_LeftAloneTheFaceWakesPlaysAndGrowsWary",
     .legs = WakesAloneThen({{8, 12, 120}}),
     .hand = {{0, ParkAway}}},
    {.name = "S00_WokenThenLeftAloneItDozesOnIntoTheYawn",
     .legs = {{0, 1, kAnyFrame}, {1, 2, 370}, {2, 3, 400}},
     .hand = {{0, PokeAwake}, {1, [](PlayerControl& p, int) { KeepAway(p); }}}},
    // Level with the face as it grows wary: its three quick steps go across only.
    {.name = "S00_LevelWithTheWaryFaceItStepsOnlyAcross",
     .legs = WakesAloneThen({{8, 12, 120}}),
     .hand = {{0, ParkAway}, {7, [](PlayerControl& p, int) {
                p.SteerTipTo(p.state().face_x + 200, p.state().face_y - 10);
              }}}},
    {.name = "S00_PokedAwakeThenPokedAgainTheFaceIsStartled",
     .legs = {{0, 1}, {1, 9}, {9, 10, 150}},
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}}},
    // Parked 100 pixels right of the face, level with it: seen once the gaze turns right.
    {.name = "S00_TheHalfAwakeFaceCatchesTheCursorWhereItLooks",
     .legs = {{0, 2, 810}, {2, 9, 130}, {9, 10, 150}},
     .hand = {{0, [](PlayerControl& p, int f) { if (f >= 400) p.SteerTipTo(500, 290); }}}},
    {.name = "S00_APokeDuringTheYawnStartlesAndTheYawnIsRemembered",
     .legs = {{0, 2, 810}, {2, 3, 400}, {3, 9}, {9, 12, 150}},
     .hand = {{0, ParkAway}, {3, PokeFrom(150)}}},
    {.name = "S00_AJerkAsTheYawnEndsLeadsToStage12",
     .legs = {{0, 2, 810}, {2, 3, 400}, {3, 12, 290}},
     .hand = {{0, ParkAway}, {3, [](PlayerControl& p, int f) { if (f == 290) Jerk(p); }}}},
    {.name = "S00_AJerkDuringTheStareLeadsToStage12",
     .legs = WakesAloneThen({{4, 12, 107}}, 3),
     .hand = {{0, ParkAway}, {4, [](PlayerControl& p, int f) { if (f == 100) Jerk(p); }}}},
    {.name = "S00_TouchingTheHappyFaceKnocksItDown",
     .legs = WakesAloneThen({{6, 9}, {9, 12, 150}}, 5),
     .hand = {{0, ParkAway},
              {6, [](PlayerControl& p, int f) {
                 if (f >= 1 && p.state().stage_scratch_b < 0) {
                   p.SteerTipTo(p.state().face_x, p.state().face_y);
                 }
               }}}},
    {.name = "S00_PokingTheTumblingFaceStartlesIt",
     .legs = WakesAloneThen({{7, 9}, {9, 12, 150}}, 6),
     .hand = {{0, ParkAway}, {7, PokeFrom(80)}}},
    {.name = "S00_ApproachingTheWaryFaceLeadsToStage11",
     .legs = WakesAloneThen({{8, 11}}),
     .hand = {{0, ParkAway}, {8, ApproachFrom(10)}}},
    {.name = "S00_ComingBackToTheStartledFaceLeadsToStage11",
     .legs = {{0, 1}, {1, 9}, {9, 11}},
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}, {9, ApproachFrom(30)}}},
});

}  // namespace
