// The last act's partings: the face walks off and the cursor fades (42), sulks (43), or catches
// the cursor and falls asleep on it (44). The endings are played through the closing card.
#include <gtest/gtest.h>

#include "tests/journeys/journey.h"

namespace {

std::function<void()> StartIn(int stage, int face_x, int face_y, int cursor_x, int cursor_y) {
  return [=] {
    EnterStageWith(stage, face_x, face_y, cursor_x, cursor_y);
    g.scene_var_3 = -1;  // stage 26's drift, where the sulk finds it
  };
}
// Stage 26 leaves the face risen, drifted left away from the cursor.
const auto kFromTheFloat = StartIn(43, 330, 485, 600, 400);

// The hand-over frame a script expects, kept across the run for the row's check.
int expected_at = -1;
void ExpectedAt(const PlayResult& r) {
  ASSERT_FALSE(r.handovers.empty());
  EXPECT_EQ(r.handovers.back().at_stage_frame, expected_at);
}

JourneyRows rows({
    // Poked in stage 40 at x 300, it walks off the left edge from frame 100; 391 frames after
    // its centre passed -99 (250 still, 140 fading, one more) the closing card begins.
    {.name = "S42_TheFaceWalksOffTheNearerEdgeAndTheCursorFades",
     .legs = {{42, 74}},
     .hand = {{42,
               [](PlayerControl& p, int f) {
                 if (f == 1) expected_at = -1;
                 const int x = p.state().face_x;
                 if (f <= 100) {
                   EXPECT_EQ(x, 300);  // still until frame 100
                 }
                 if (expected_at < 0 && x < -99) expected_at = f + 391;
               }}},
     .setup = StartIn(42, 300, 250, 306, 260),
     .check = ExpectedAt},
    {.name = "S42_LeftStillTheSulkingFaceCatchesTheCursorAndSleeps",
     .legs = {{43, 44, 110}, {44, 74, 750}},
     .hand = {{43,
               [](PlayerControl& p, int f) {
                 if (f < 6) return;
                 // The cursor is up and right of the face: the pupils look down and left.
                 EXPECT_EQ(p.state().look_x, -5);
                 EXPECT_EQ(p.state().look_y, 5);
               }}},
     .setup = kFromTheFloat},
    // A click with the tip 45 pixels right of the face centre does nothing; at 44 it counts.
    {.name = "S42_AClickOnTheSulkingFaceCountsFrom44PixelsIn",
     .legs = {{43, 45}},
     .hand = {{43,
               [](PlayerControl& p, int f) {
                 static int clicks = 0;
                 if (f == 1) {
                   clicks = 0;
                   expected_at = -1;
                 }
                 if (clicks < 2 && p.SteerTipTo(445 - clicks, 300)) {
                   p.Click();
                   if (++clicks == 2) expected_at = f + 1;
                 }
               }}},
     .setup = StartIn(43, 400, 300, 470, 330),
     .check = ExpectedAt},
    {.name = "S42_KeptMovingTheSulkGoesOnAt600",
     .legs = {{43, 46, 600}},
     .hand = {{43, [](PlayerControl& p, int f) { p.MoveBy(f % 2 ? 3 : -3, 0); }}},
     .setup = kFromTheFloat},
});

}  // namespace
