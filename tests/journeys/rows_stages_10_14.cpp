// Act two's opening: the gape, the retreat, the hops and the creep, then follow-the-leader. Every
// row starts from the title; together they take every hand-over out of stages 10 to 14.
#include "game/move_recorder.h"
#include "tests/journeys/journey.h"

namespace {

void PokeAwake(PlayerControl& p, int f) {
  if (f >= 400) PokeFace(p);
}
void ParkAway(PlayerControl& p, int f) {
  if (f >= 400) KeepAway(p);
}
StageScript PokeFrom(int from_frame) {
  return [=](PlayerControl& p, int f) {
    if (f >= from_frame) PokeFace(p);
  };
}
StageScript ApproachFrom(int from_frame) {
  return [=](PlayerControl& p, int f) {
    if (f >= from_frame) p.SteerTipTo(p.state().face_x, p.state().face_y);
  };
}
// The pointer moves once, on the frame after the one that decided with stage_frame `f`.
StageScript MoveAt(int at, int dx, int dy) {
  return [=](PlayerControl& p, int f) {
    if (f == at) p.MoveBy(dx, dy);
  };
}

// Roads from the title into act two.
const std::vector<Leg> kToStage12Alone = {{0, 2, 810}, {2, 3, 400}, {3, 4, 305}, {4, 5, 200},
                                          {5, 6, 215}, {6, 7, 121}, {7, 8, 140}, {8, 12, 120}};
const std::vector<Leg> kToStage10 = {{0, 1}, {1, 9}, {9, 10, 150}};
const std::vector<Leg> kToStage11 = {{0, 1}, {1, 9}, {9, 11}};

std::vector<Leg> Then(std::vector<Leg> road, const std::vector<Leg>& tail) {
  road.insert(road.end(), tail.begin(), tail.end());
  return road;
}

// Stage 12 with the cursor parked in the corner until, on the frame drawn with stage_frame
// 110, it jumps 16 pixels to the right: the first frame a jerk counts.
const std::map<int, StageScript> kJerkIntoStage13 = {{0, ParkAway}, {12, MoveAt(110, 20, 0)}};
const std::vector<Leg> kToStage13 = Then(kToStage12Alone, {{12, 13, 111}});

std::map<int, StageScript> JerkThen(int stage, StageScript script, StageScript in_14 = {}) {
  std::map<int, StageScript> hand = kJerkIntoStage13;
  hand[stage] = std::move(script);
  if (in_14) hand[14] = std::move(in_14);
  return hand;
}
// Stage 13 sees a 10-pixel stroke to the right on the frame drawn at 10.
std::map<int, StageScript> StrokeRightThen(StageScript in_14) {
  return JerkThen(13, MoveAt(10, 10, 0), std::move(in_14));
}

// During each of the player's turns: one 16-pixel stroke per frame, turning right, down, left,
// up, ... so every stroke starts a new move, until the face has taken in enough moves.
void PlayAlong(PlayerControl& p, int) {
  const GameState& s = p.state();
  if (s.stage_scratch_b != -1) return;  // the face is replaying
  const int stroke = s.move_index + (s.moves[s.move_index] != kMoveNone ? 1 : 0);
  static constexpr int kStroke[4][2] = {{20, 0}, {0, 20}, {-20, 0}, {0, -20}};
  p.MoveBy(kStroke[stroke % 4][0], kStroke[stroke % 4][1]);
}

// One stroke in the player's first turn, then nothing.
void OneStrokeThenIdle(PlayerControl& p, int) {
  const GameState& s = p.state();
  if (s.stage_scratch_b == -1 && s.moves[0] == kMoveNone && s.stage_frame < 60) p.MoveBy(20, 0);
}

JourneyRows rows({
    // Stage 10, reached by poking the face awake and then poking it again.
    {.name = "S10_TheStartledFaceGapesAndThenHopsAbout",
     .legs = Then(kToStage10, {{10, 12, 85}}),
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}, {9, [](PlayerControl& p, int) { KeepAway(p); }}}},
    {.name = "S10_APokeIntoTheGapingMouth",
     .legs = Then(kToStage10, {{10, 22}}),
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}, {10, PokeFrom(20)}}},

    // Stage 11, reached by coming back at the startled face.
    {.name = "S10_TheRetreatingFaceIsLeftAloneAndGrowsWary",
     .legs = Then(kToStage11, {{11, 12, 101}}),
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}, {9, ApproachFrom(30)}}},
    {.name = "S10_TheRetreatingFaceIsCaughtAndPoked",
     .legs = Then(kToStage11, {{11, 22}}),
     .hand = {{0, PokeAwake}, {1, PokeFrom(60)}, {9, ApproachFrom(30)}, {11, PokeFrom(0)}}},

    // Stage 12, reached by leaving everything alone.
    {.name = "S10_TheHoppingFaceIsPoked",
     .legs = Then(kToStage12Alone, {{12, 22}}),
     .hand = {{0, ParkAway}, {12, PokeFrom(30)}}},
    // The tip rests beside the face when the creep begins: stage 19 sixteen frames later.
    {.name = "S10_TheCursorWaitsBesideTheFaceAsItCreeps",
     .legs = Then(kToStage12Alone, {{12, 19, 122}}),
     .hand = {{0, ParkAway},
              {12, [](PlayerControl& p, int f) {
                 if (f >= 92) p.SteerTipTo(p.state().face_x + 20, p.state().face_y);
               }}}},
    {.name = "S10_AJerkAsTheCreepBegins",
     .legs = kToStage13,
     .hand = kJerkIntoStage13},

    // Stage 13: the first stroke to the right on the frame drawn at 10 is taken over 20 frames
    // later; with no stroke at all stage 14 starts at 120 and, with nothing to copy, gives up
    // before drawing anything.
    {.name = "S10_AStrokeToTheRightStartsFollowTheLeader",
     .legs = Then(kToStage13, {{13, 14, 31}}),
     .hand = StrokeRightThen({})},
    {.name = "S10_NoStrokeMeansNothingToFollow",
     .legs = Then(kToStage13, {{13, 14, 120}, {14, 15, 0}}),
     .hand = kJerkIntoStage13},

    // Stage 14, starting from one stroke to the right (copied in frames 0..40, the turn begins
    // on the frame drawn at 41).
    {.name = "S10_ThePlayerNeverTakesATurn",
     .legs = Then(kToStage13, {{13, 14, 31}, {14, 15, 121}}),
     .hand = StrokeRightThen({})},
    // One stroke, replayed in 101..141; the next turn begins at 142 and idles to 222.
    {.name = "S10_ThePlayerStopsAfterOneTurn",
     .legs = Then(kToStage13, {{13, 14, 31}, {14, 17, 222}}),
     .hand = StrokeRightThen(OneStrokeThenIdle)},
    // Two, three, four and five strokes in the next turns: the fifth level is reached as the
    // fifth replay ends.
    {.name = "S10_ThePlayerKeepsPlayingUpToFiveMoves",
     .legs = Then(kToStage13, {{13, 14, 31}, {14, 18, 656}}),
     .hand = StrokeRightThen(PlayAlong)},
    {.name = "S10_FourPokesWhileTheFaceCopies",
     .legs = Then(kToStage13, {{13, 14, 31}, {14, 45}}),
     .hand = StrokeRightThen(PokeFrom(1))},
    // Down before frame 6 (not yet watched), then right: an exact diagonal, nothing to copy. The
    // face waits, turn after empty turn, until the player moves; the first replayed frame then
    // gives up on the player.
    {.name = "S10_ADiagonalStrokeLeavesTheFaceWaitingForThePlayer",
     .legs = Then(kToStage13, {{13, 14, 31}, {14, 17, 2002}}),
     .hand = JerkThen(13,
                      [](PlayerControl& p, int f) {
                        if (f == 1) p.MoveBy(0, 10);
                        if (f == 10) p.MoveBy(10, 0);
                      },
                      MoveAt(2000, 20, 0))},
});

}  // namespace
