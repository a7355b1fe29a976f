// Stages 1 to 3 played through the harness: every way out, on the frame it happens, and the
// values these stages hand on.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <vector>

#include "draw2d/null_driver.h"
#include "tests/support/play_harness.h"

// Handovers compare and print without the presented-frame count.
bool operator==(const Handover& a, const Handover& b) {
  return a.from == b.from && a.to == b.to && a.at_stage_frame == b.at_stage_frame;
}
std::ostream& operator<<(std::ostream& os, const Handover& h) {
  return os << h.from << "->" << h.to << "@" << h.at_stage_frame;
}

namespace {

// What the player does just before the frame drawn as `frame`.
struct Action {
  int frame, dx, dy;
  bool click;
};

// Starts in `stage` with the title's squash 6 and plays the actions (`watch` sees every frame);
// Escape once the game has left stages 1 to 3.
PlayResult PlayFrom(int stage, int cursor_x, int cursor_y, std::vector<Action> actions = {},
                    DrawMode draw = DrawMode::Null, Player watch = nullptr) {
  PlayOptions options;
  options.draw = draw;
  options.setup = [=] {
    g.stage = stage;
    g.stage_frame = stage == 3 ? 1 : 0;  // stage 2 hands over to 3 before its WaitFrame
    g.squash = 6;
    g.flee_dir = 5;  // stale: stage 1's entry block must replace it whatever the stage
    g.cursor_x = cursor_x;
    g.cursor_y = cursor_y;
  };
  return Play(options, [=](PlayerControl& p) {
    if (watch) watch(p);
    if (p.state().stage > 3) return p.PressEscape();
    for (const Action& a : actions) {
      if (a.frame != p.state().stage_frame || p.state().stage != stage) continue;
      if (a.dx != 0 || a.dy != 0) p.MoveBy(a.dx, a.dy);
      if (a.click) p.Click();
    }
  });
}

// The handovers out of stages 1 to 3, with any later one made in the same pass.
std::vector<Handover> Brief(const PlayResult& result) {
  std::vector<Handover> out;
  for (const Handover& h : result.handovers) {
    if (h.from <= 3 || (!out.empty() && h.frame == out.back().frame)) out.push_back(h);
  }
  return out;
}

// The tip (cursor_x - 6, cursor_y - 10) on the face centre (400, 300).
constexpr int kOnFaceX = 406, kOnFaceY = 310;

}  // namespace

TEST(Stages01To03, EachWayOutOnTheFrameItHappens) {
  struct Case {
    const char* what;
    int stage, cursor_x, cursor_y;
    std::vector<Action> actions;
    std::vector<Handover> expected;  // only the handovers out of stages 1 to 3 and onward
  };
  // 17 pixels of pointer motion at speed 0.8 move the cursor 13, 16 move it 12.
  const std::vector<Case> cases = {
      {"stage 1 poke", 1, kOnFaceX, kOnFaceY, {{50, 0, 0, true}}, {{1, 9, 51, 0}}},
      {"stage 1 click 45 px below the centre",
       1,
       kOnFaceX,
       kOnFaceY + 45,
       {{50, 0, 0, true}},
       {{1, 2, 370, 0}, {2, 9, 127, 0}}},
      {"stage 2 sees the cursor right", 2, 500, kOnFaceY, {}, {{2, 9, 130, 0}}},
      {"stage 2 sees the cursor left", 2, 300, kOnFaceY, {}, {{2, 9, 220, 0}}},
      {"stage 2 cursor 49 px below", 2, 400, 359, {}, {{2, 9, 127, 0}}},
      {"stage 2 cursor 50 px below", 2, 400, 360, {}, {{2, 3, 400, 0}, {3, 4, 305, 0}}},
      {"stage 2 poke", 2, kOnFaceX, kOnFaceY, {{20, 0, 0, true}}, {{2, 9, 21, 0}}},
      {"stage 3 jerks too early or too small",
       3,
       190,
       430,
       {{280, 17, 0, false}, {290, 16, 0, false}},
       {{3, 4, 305, 0}}},
      {"stage 3 jerk", 3, 190, 430, {{281, 17, 0, false}}, {{3, 12, 281, 0}}},
      {"stage 3 jerk down on the last frame",
       3,
       190,
       430,
       {{304, 0, 17, false}},
       {{3, 12, 304, 0}}},
      {"stage 3 poke", 3, kOnFaceX, kOnFaceY, {{100, 0, 0, true}}, {{3, 9, 101, 0}}},
      {"stage 3 poke with a jerk",
       3,
       kOnFaceX,
       kOnFaceY,
       {{290, 17, 0, true}},
       {{3, 12, 290, 0}, {12, 9, 1, 0}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Brief(PlayFrom(c.stage, c.cursor_x, c.cursor_y, c.actions)), c.expected) << c.what;
  }
}

TEST(Stages01To03, WokenFaceShufflesAwayFromTheCursorSide) {
  // The tip exactly on the face's centre column counts as left of it. Twelve pixels of steps plus
  // six random nudges that truncate toward zero: at most one pixel each rightward, at least one
  // leftward.
  struct Case {
    int cursor_x, flee_dir, min_drift, max_drift;
  };
  for (const Case c : {Case{406, 1, 12, 24}, Case{407, -1, 18, 30}}) {
    int flee_dir = 99, face_x = 0;
    PlayFrom(1, c.cursor_x, 500, {}, DrawMode::Null, [&](PlayerControl& p) {
      if (p.state().stage != 1) return p.PressEscape();
      flee_dir = p.state().flee_dir;
      face_x = p.state().face_x;
    });
    EXPECT_EQ(flee_dir, c.flee_dir);
    EXPECT_GE((face_x - 400) * c.flee_dir, c.min_drift);
    EXPECT_LE((face_x - 400) * c.flee_dir, c.max_drift);
  }
  // Arriving anywhere but stage 1 leaves no shuffle direction.
  int flee_dir = 99;
  PlayFrom(2, 190, 430, {}, DrawMode::Null, [&](PlayerControl& p) {
    flee_dir = p.state().flee_dir;
    p.PressEscape();
  });
  EXPECT_EQ(flee_dir, 0);
}

namespace {

// Whether a shape with these driver arguments was drawn while the colour was `colour`.
bool DrawnIn(const std::vector<DrawCall>& calls, const std::string& name,
             const std::vector<float>& args, const std::vector<float>& colour) {
  std::vector<float> current;
  for (const DrawCall& call : calls) {
    if (call.name == "SetColor") current = call.args;
    if (call.name == name && call.args == args && current == colour) return true;
  }
  return false;
}

}  // namespace

TEST(Stages01To03, LeftAloneTheFaceOpensAnEyeYawnsAndWakes) {
  std::map<int, int> squash;  // stage 3's drawn frame -> squash
  int phase_after_260 = -1, due_after_263 = -1;
  bool yawned = false;
  std::vector<std::pair<int, int>> lid_shut;  // (stage after the pass, drawn frame)
  std::vector<int> gulps;                     // stage 3's drawn frames
  const PlayResult result = PlayFrom(1, 190, 430, {}, DrawMode::Recording, [&](PlayerControl& p) {
    const GameState& s = p.state();
    const int drawn = s.stage_frame - 1;
    TRecordingQuill2DDriver* recording = LastRecordingDriver();
    // Stage 2's left lid fully shut (30 high at squash 6).
    if (DrawnIn(recording->calls, "DrawRect", {0, 0, 30, 30, 10, 27}, {241, 230, 63})) {
      lid_shut.push_back({s.stage, drawn});
    }
    // The yawn's hole in canvas blue, a little wider.
    if (DrawnIn(recording->calls, "DrawOval", {0, 0, 30, 33, 30, 46}, {0, 0, 255})) {
      gulps.push_back(drawn);
    }
    recording->Clear();
    if (s.stage != 3) return;
    yawned = s.yawned;
    squash[drawn] = s.squash;
    if (drawn == 260) phase_after_260 = s.blink_phase;
    if (drawn == 263) due_after_263 = s.blink_due;
  });
  EXPECT_EQ(Brief(result), (std::vector<Handover>{{1, 2, 370, 0}, {2, 3, 400, 0}, {3, 4, 305, 0}}));
  EXPECT_TRUE(yawned);
  // The face stretches back to full height over stage 3's frames 96 to 99.
  const std::vector<int> stretch = {squash[95], squash[96], squash[97],
                                    squash[98], squash[99], squash[300]};
  EXPECT_EQ(stretch, (std::vector<int>{6, 4, 3, 2, 1, 1}));
  // The blink scheduled on entry is long due when the eyes open: one starts at once, and the
  // next comes at least 200 frames after it ends.
  EXPECT_EQ(phase_after_260, 2);
  EXPECT_GE(due_after_263, 263 + 200);
  // Stage 2 shows the lid shut on its frame 0 and again on the pass that hands over, which is
  // drawn as stage 3's frame 0.
  EXPECT_EQ(lid_shut, (std::vector<std::pair<int, int>>{{2, 0}, {3, 0}}));
  EXPECT_EQ(gulps, (std::vector<int>{150, 156, 162, 168, 174}));
}
