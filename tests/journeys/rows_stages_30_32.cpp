// The charges (30, 31) and the fight (32): every way out of them, and one whole fight played by
// a hand that chases and pokes. Rows start where the handing-over stage leaves the face.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "game/cursor.h"
#include "tests/journeys/journey.h"

namespace {

// What a row's hand saw, for its check; cleared by the row's setup (rows are played twice).
struct Seen {
  int charge_frame = -1, bump_30 = -1, bump_31 = -1;
  int strikes = 0, last_strike = -1, finish_frame = -1, last_phase = 0;
  int fastest_knock = 0, face_x = 0, face_y = 0;
};
using SeenPtr = std::shared_ptr<Seen>;

void Start(int stage, int face_x, int face_y, int cursor_x, int cursor_y) {
  g.stage = stage;
  g.stage_frame = 0;
  g.face_x = face_x, g.face_y = face_y;
  g.cursor_x = cursor_x, g.cursor_y = cursor_y;
}
// Stage 29 leaves the laughing face in the middle.
void FromTheLaugh() { Start(30, 400, 300, 190, 430); }
// Stage 30 or 31 hands the fight on in `phase`, with stage 30's aim point left in the push.
void IntoTheFight(int phase, int cursor_x, int cursor_y) {
  Start(32, 400, 300, cursor_x, cursor_y);
  g.scene_var_7 = phase;
  g.scene_var_1 = 612, g.scene_var_2 = 410;
}

// Parked until the face locks its aim, then off to the far corner: the charge misses.
StageScript DodgeTheCharge(SeenPtr seen) {
  return [seen](PlayerControl& p, int f) {
    seen->charge_frame = p.state().stage_scratch_a;
    f < seen->charge_frame ? p.SteerTipTo(100, 500) : p.SteerTipTo(780, 20);
  };
}

// Holds still to be struck; afterwards comes back to the face, or stays where it was knocked.
StageScript TakeTheCharge(SeenPtr seen, bool come_back) {
  return [seen, come_back](PlayerControl& p, int f) {
    const GameState& s = p.state();
    const int bump = s.stage == 30 ? s.stage_scratch_b : s.stage_scratch_a;
    (s.stage == 30 ? seen->bump_30 : seen->bump_31) = bump;
    if (bump < 0 && s.stage == 30) p.SteerTipTo(200, 200);
    if (bump >= 0 && come_back && f >= bump + 25) {
      p.SteerTipTo(s.face_x, s.face_y, s.stage == 30 ? 0.9f : 0.7f);
    }
  };
}

// Counts the strikes of the fight as the phases change.
void Watch(Seen& seen) {
  const int phase = g.scene_var_7;
  if (phase != seen.last_phase && (phase == 2 || phase == 4)) {
    ++seen.strikes;
    seen.last_strike = g.stage_scratch_a;
    if (phase == 2)
      seen.fastest_knock =
          std::max({seen.fastest_knock, std::abs(g.scene_var_3), std::abs(g.scene_var_4)});
  }
  seen.last_phase = phase;
  if (g.stage_scratch_b >= 0) seen.finish_frame = g.stage_scratch_b;
}

// Waits to be struck, stays put while flying, hunts the fleeing face down and pokes it; after
// `pokes` pokes it keeps away.
StageScript Fighter(SeenPtr seen, int pokes = 3) {
  return [seen, pokes](PlayerControl& p, int) {
    Watch(*seen);
    if (seen->last_phase != 3) return;
    if (seen->strikes >= 2 * pokes) return KeepAway(p);
    p.SteerTipTo(p.state().face_x, p.state().face_y, 1.0f);
    if (CursorDistance() < 60) p.Click();
  };
}

int At(const PlayResult& r, int from) {
  for (const Handover& h : r.handovers) {
    if (h.from == from) return h.at_stage_frame;
  }
  return -2;
}

Journey Row(Journey row, SeenPtr seen) {
  row.setup = [seen, setup = row.setup] {
    *seen = Seen{};
    setup();
  };
  return row;
}

std::vector<Journey> Rows() {
  auto s1 = std::make_shared<Seen>(), s2 = std::make_shared<Seen>(), s3 = std::make_shared<Seen>(),
       s4 = std::make_shared<Seen>(), s5 = std::make_shared<Seen>(), s6 = std::make_shared<Seen>();
  return {
      // A miss starts the fight chasing, so the face strikes first and the sixth strike is the
      // player's third poke.
      Row({.name = "S30_AMissedChargeThenAWholeFightOfSixStrikes",
           .legs = {{30, 32}, {32, 33}},
           .hand = {{30, DodgeTheCharge(s1)}, {32, Fighter(s1)}},
           .setup = FromTheLaugh,
           .check =
               [s1](const PlayResult& r) {
                 EXPECT_EQ(At(r, 30), s1->charge_frame + 16);
                 EXPECT_EQ(s1->strikes, 6);
                 EXPECT_EQ(s1->last_phase, 4);
                 EXPECT_EQ(At(r, 32), s1->finish_frame + 13);
               }},
          s1),
      // Struck, the player comes back and the face flees; one poke, one strike, then nothing.
      Row({.name = "S30_StruckThenComingBackThenTwoStrikesAndNothingMore",
           .legs = {{30, 32}, {32, 33}},
           .hand = {{30, TakeTheCharge(s2, true)}, {32, Fighter(s2, 1)}},
           .setup = FromTheLaugh,
           .check =
               [s2](const PlayResult& r) {
                 EXPECT_GE(At(r, 30), s2->bump_30 + 25);
                 EXPECT_EQ(s2->strikes, 2);
                 EXPECT_EQ(At(r, 32), s2->last_strike + 430);
               }},
          s2),
      Row({.name = "S30_KeptAwayTheFaceChargesAgainThenGivesUp",
           .legs = {{30, 31}, {31, 44}},
           .hand = {{30, TakeTheCharge(s3, false)}, {31, TakeTheCharge(s3, false)}},
           .setup = FromTheLaugh,
           .check =
               [s3](const PlayResult& r) {
                 EXPECT_EQ(At(r, 30), s3->bump_30 + 201);
                 EXPECT_EQ(At(r, 31), s3->bump_31 + 251);
               }},
          s3),
      // Stage 30 left the face in the far corner, the cursor in the other: the second strike
      // bounces the cursor back toward the middle, within reach once the knock-back ends. The
      // first frame after it only measures the gap.
      Row({.name = "S30_ComingCloserAfterTheSecondChargeStartsTheFight",
           .legs = {{31, 32}},
           .hand = {{31, TakeTheCharge(s4, true)}},
           .setup = [] { Start(31, 765, 565, 100, 90); },
           .check = [s4](const PlayResult& r) { EXPECT_EQ(At(r, 31), s4->bump_31 + 27); }},
          s4),
      // The tip lands on the face centre in the very first chase frame, with stage 30's aim
      // point still in the push: the cursor must fly no faster than any strike sends it.
      Row({.name = "S30_AStrikeOnTheFirstChaseFrameKeepsTheKnockSpeed",
           .legs = {{32, 33, 801}},
           .hand = {{32, [s5](PlayerControl&, int) { Watch(*s5); }}},
           .setup = [] { IntoTheFight(1, 406, 310); },
           .check =
               [s5](const PlayResult&) {
                 EXPECT_EQ(s5->last_strike, 0);
                 EXPECT_LE(s5->fastest_knock, 30);
               }},
          s5),
      // Backing away, the x step brings the face exactly under the tip; the y step must still
      // move it away (up, from the cursor point 10 pixels below) and not divide by zero. Then,
      // with no strike at all, the fight peters out; hovering over the fleeing face slows the
      // game down, yet each frame still counts one.
      Row({.name = "S30_TheFaceBacksAwayFromTheTipOnItsCentreThenTheFightPetersOut",
           .legs = {{32, 33, 781}},
           .hand = {{32,
                     [s6](PlayerControl& p, int f) {
                       if (f == 1) s6->face_x = p.state().face_x, s6->face_y = p.state().face_y;
                       if (p.state().scene_var_7 == 3) {
                         p.SteerTipTo(p.state().face_x + 10, p.state().face_y, 1.0f);
                       }
                     }}},
           .setup =
               [] {
                 IntoTheFight(2, 402, 310);
                 g.stage_scratch_a = -20;  // 20 frames into the knock-back, nothing moving
                 g.scene_var_1 = g.scene_var_2 = g.scene_var_3 = g.scene_var_4 = 0;
               },
           .check =
               [s6](const PlayResult& r) {
                 EXPECT_EQ(s6->face_x, 396);
                 EXPECT_EQ(s6->face_y, 282);
                 EXPECT_EQ(r.handovers.back().frame, 780);
               }},
          s6),
  };
}

JourneyRows rows(Rows());

}  // namespace
