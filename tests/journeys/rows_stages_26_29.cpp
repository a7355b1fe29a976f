// Act three's opening reactions: the face floats away (26), creeps up on the cursor (27), rushes
// at it (28) or laughs (29). Each row starts where the stage before leaves the face and cursor.
#include <gtest/gtest.h>

#include "tests/journeys/journey.h"

namespace {

std::function<void()> StartIn(int stage, int face_x, int face_y, int cursor_x, int cursor_y) {
  return [=] {
    EnterStageWith(stage, face_x, face_y, cursor_x, cursor_y);
    if (stage == 27) g.scene_var_4 = 99999;  // an earlier travel must not count
  };
}

// Stage 25 leaves the face low; the cursor point 60 pixels to its right makes it creep exactly
// one pixel a frame (60 / 31..42): 59 pixels apart after the first frame, one less each frame.
const auto kFromTheSlideOut = StartIn(27, 400, 500, 460, 500);
const auto kFromTheNodWait = StartIn(28, 400, 284, 100, 300);  // where stage 17's jumps end

// At 54 pixels off, a jerk of 8 toward the face ends 45 from it: the face freezes (stage frame
// 6); nearer would end the stage, farther would not count.
StageScript Freeze(StageScript then = nullptr) {
  return [=](PlayerControl& p, int f) {
    if (f == 6 && p.state().scene_var_5 == 54) p.MoveBy(-10, 0);
    if (then) then(p, f);
  };
}

JourneyRows rows({
    {.name = "S26_TheFloatingFaceDriftsAwayFromTheCursorAndSulksAt90",
     .legs = {{26, 43, 90}},
     .setup = StartIn(26, 400, 580, 600, 400),  // stage 24's face peeks over the bottom edge
     .check =
         [](const PlayResult&) {
           EXPECT_EQ(g.scene_var_3, -1);  // drifting left, away from the cursor
           EXPECT_LT(g.face_x, 400);
           EXPECT_GE(g.face_y, 580 - 99);  // up 1.1 pixels a frame at most, truncated
           EXPECT_LE(g.face_y, 580 - 90);
         }},
    // Nothing holds the rising face on the screen; the catch brings it back.
    {.name = "S26_AFaceRisingOffTheTopIsBroughtBackByTheCatch",
     .legs = {{26, 43, 90}, {43, 44, 110}, {44, 74, 750}},
     .hand = {{26,
               [](PlayerControl& p, int f) {
                 if (f == 89) {
                   EXPECT_LT(p.state().face_y, 0);
                 }
               }},
              {44,
               [](PlayerControl& p, int f) {
                 if (f == 12) {
                   EXPECT_EQ(p.state().face_y, 458);
                 }
               }}},
     .setup = StartIn(26, 400, 20, 400, 500)},
    {.name = "S26_TheCreepingFaceReachesTheStillCursorAt48Pixels",
     .legs = {{27, 36, 12}},
     .setup = kFromTheSlideOut},
    {.name = "S26_AJerkBesideTheCreepingFaceFreezesItFor50Frames",
     .legs = {{27, 36, 56}},
     .hand = {{27, Freeze()}},
     .setup = kFromTheSlideOut},
    {.name = "S26_EasingOffTheFrozenFaceTo47PixelsEndsTheFreezeAtOnce",
     .legs = {{27, 36, 31}},
     .hand = {{27, Freeze([](PlayerControl& p, int f) {
                 if (f == 30) p.MoveBy(3, 0);
               })}},
     .setup = kFromTheSlideOut},
    {.name = "S26_PokingTheFrozenFaceLeadsTo45",
     .legs = {{27, 45, 21}},
     .hand = {{27, Freeze([](PlayerControl& p, int f) {
                 if (f == 20) p.Click();
               })}},
     .setup = kFromTheSlideOut},
    // A move of 60 x 30, squared 4500 exactly, is not yet too much; one pixel more is.
    {.name = "S26_WavingTheCursorAboutLeadsTo37",
     .legs = {{27, 37, 3}},
     .hand = {{27,
               [](PlayerControl& p, int f) {
                 if (f == 1) p.MoveBy(75, 38);
                 if (f == 2) p.MoveBy(2, 0);
               }}},
     .setup = StartIn(27, 400, 500, 100, 100)},
    // Rushing from 300 pixels off: 225, 169, 127, 96, 72, then 54 (< 55) on decision 6; frozen
    // there until 46.
    {.name = "S26_TheRushStopsBesideTheCursorAndJumpsBack40FramesLater",
     .legs = {{28, 36, 46}},
     .hand = {{28,
               [](PlayerControl& p, int f) {
                 if (f > 6) {
                   EXPECT_EQ(p.state().face_x, 154);
                 }
               }}},
     .setup = kFromTheNodWait},
    {.name = "S26_PokingTheFaceThatCaughtUpLeadsTo45",
     .legs = {{28, 45}},
     .hand = {{28,
               [](PlayerControl& p, int f) {
                 const auto& s = p.state();  // the cursor turned sluggish at the catch
                 if (f > 6 && p.SteerTipTo(s.face_x, s.face_y, 0.5f)) p.Click();
               }}},
     .setup = kFromTheNodWait},
    {.name = "S26_TheLaughEndsAt160",
     .legs = {{29, 30, 160}},
     .setup = StartIn(29, 400, 284, 60, 560)},
});

}  // namespace
