// After follow-the-leader: the face that was not played with creeps up and sulks (15, 16); the
// face whose game was dropped waits for a nod (17). Rows start as stage 14 leaves things.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "tests/journeys/journey.h"

namespace {

std::function<void()> Enter(int stage, int cursor_x, int cursor_y, int face_x = 400) {
  return [=] {
    g.stage = stage;
    g.face_x = face_x;
    g.cursor_x = cursor_x;
    g.cursor_y = cursor_y;
    g.blink_due = 100000;
    // What a played-out follow-the-leader leaves: stage 17 must clear it, or an old nod, old
    // restlessness, old pokes or old sideways travel would decide for it.
    const int32_t old_moves[7] = {4, 2, 4, 2, 1, 0, 0};
    std::copy(old_moves, old_moves + 7, g.moves);
    g.move_index = 5;
    g.poke_count = 3;
    g.scene_real = 5000.0f;
  };
}

// One pointer stroke per `hold` frames from the frame drawn with stage_frame `from`.
StageScript Strokes(int from, int hold, std::vector<std::pair<int, int>> s) {
  return [=](PlayerControl& p, int f) {
    if (f >= from && (f - from) / hold < static_cast<int>(s.size())) {
      p.MoveBy(s[(f - from) / hold].first, s[(f - from) / hold].second);
    }
  };
}
const auto kNod = Strokes(111, 2, {{0, -20}, {0, 20}, {0, -20}, {0, 20}});

std::vector<std::pair<int, int>> face_at(400);  // by the stage_frame just decided
std::vector<int> cursor_at(400);
void NoteFace(PlayerControl& p, int f) { face_at[f] = {p.state().face_x, p.state().face_y}; }

JourneyRows rows({
    // The tip kept 100 pixels right of the creeping face; the sulking face then edges up-left.
    {.name = "S15_AKeptDistanceLetsTheFaceSulkAndEdgeAway",
     .legs = {{15, 16, 180}, {16, 43, 200}},
     .hand = {{15, [](PlayerControl& p, int) { p.SteerTipTo(p.state().face_x + 100, 300); }},
              {16, NoteFace}},
     .setup = Enter(15, 306, 310, 200),
     .check = [](const PlayResult&) {
       for (int f = 2; f <= 120; ++f) EXPECT_EQ(face_at[f], face_at[1]) << f;
       for (int f = 121; f < 200; ++f) {
         const int dx = face_at[f].first - face_at[f - 1].first;
         const int dy = face_at[f].second - face_at[f - 1].second;
         EXPECT_TRUE(-2 <= dx && dx <= 0 && -1 <= dy && dy <= 0) << f;
       }
       EXPECT_LT(face_at[199].second, face_at[120].second - 10);
     }},
    // 90 pixels away: the face creeps 3 a frame from the decision of frame 36.
    {.name = "S15_TheCreepingFaceReachesAStillCursor", .legs = {{15, 19, 47}},
     .setup = Enter(15, 496, 310)},
    {.name = "S15_NobodyNodsAndTheFaceJumpsTwiceAndGivesUp", .legs = {{17, 28, 350}},
     .hand = {{17, NoteFace}}, .setup = Enter(17, 100, 550),
     .check = [](const PlayResult&) {
       const int want[][2] = {{1, 286}, {30, 100}, {70, 286}, {105, 100}, {200, 284}};
       for (auto [f, y] : want) EXPECT_EQ(face_at[f].second, y) << f;
     }},
    {.name = "S15_NoddingWithTheCursor", .legs = {{17, 29, 118}}, .hand = {{17, kNod}},
     .setup = Enter(17, 400, 450)},
    // A slow hand across: 5 pixels times 0.4 is a hair over 2, and the sum truncated in double
    // moves the cursor 3 pixels a frame.
    {.name = "S15_ASlowHandAcrossMovesTheCursorThreeAFrame", .legs = {{17, 28, 350}},
     .hand = {{17, [](PlayerControl& p, int f) {
                 cursor_at[f] = p.state().cursor_x;
                 if (f < 50) p.MoveBy(-5, 0);
               }}},
     .setup = Enter(17, 400, 450),
     .check = [](const PlayResult&) { EXPECT_EQ(cursor_at[51], 400 - 3 * 49); }},
    // A stroke of 6 pixels a frame across is a move (one of 5 would not be); each wide stroke
    // back after it is a change of direction, and the sixth makes the face restless.
    {.name = "S15_AStrokeOfSixAcrossIsAMove", .legs = {{17, 28, 136}},
     .hand = {{17, Strokes(111, 4, {{6, 0}, {-20, 0}, {20, 0}, {-20, 0}, {20, 0}, {-20, 0},
                                    {20, 0}, {-20, 0}})}},
     .setup = Enter(17, 400, 450)},
    {.name = "S15_ANodAfterWanderingSidewaysIsNotSeen", .legs = {{17, 28, 350}},
     .hand = {{17, [](PlayerControl& p, int f) {
                 if (f >= 20 && f < 30) p.MoveBy(f % 2 ? -100 : 100, 0);
                 kNod(p, f);
               }}},
     .setup = Enter(17, 400, 450)},
    {.name = "S15_RestlessSideToSideMovement", .legs = {{17, 28, 118}},
     .hand = {{17, Strokes(111, 1, {{30, 0}, {-30, 0}, {30, 0}, {-30, 0}, {30, 0}, {-30, 0}, {30, 0}})}},
     .setup = Enter(17, 400, 450)},
    // The tip on the resting face; the fourth poke, on frame 350, wins over giving up.
    {.name = "S15_FourPokesAsTheWaitRunsOut", .legs = {{17, 45, 350}},
     .hand = {{17, [](PlayerControl& p, int f) { if (f >= 346 && f <= 349) p.Click(); }}},
     .setup = Enter(17, 406, 294)},
});

}  // namespace
