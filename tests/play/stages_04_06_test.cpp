// Stages 4 to 6 played through the harness: every way out on its frame, the jerk and touch rules,
// the hops, and what the face carries from stage to stage.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "draw2d/null_driver.h"
#include "system/numeric.h"
#include "system/random.h"
#include "tests/support/play_expect.h"
#include "tests/support/play_harness.h"

namespace {

// Where the face stood on each presented frame, by the stage that drew it (index = f).
struct Spot {
  int x, y;
};
struct Played {
  PlayResult result;
  std::map<int, std::vector<Spot>> face;

  int MinFaceY(int stage) {
    int top = 1 << 30;
    for (Spot s : face[stage]) top = std::min(top, s.y);
    return top;
  }
};

// Plays from `stage` as `setup` leaves it, `act` acting on every frame; once the game has left
// stages `stage` to `last`, Escape ends the run so later scenes play no part.
Played PlayFrom(int stage, int last, std::function<void()> setup, Player act = nullptr,
                DrawMode draw = DrawMode::Null) {
  Played run;
  PlayOptions options;
  options.max_frames = 3000;
  options.draw = draw;
  options.setup = [&] {
    g.stage = stage;
    if (setup) setup();
  };
  int drawn_by = stage;  // a pass draws in the stage the previous pass decided on
  run.result = Play(options, [&](PlayerControl& pc) {
    run.face[drawn_by].push_back({pc.state().face_x, pc.state().face_y});
    drawn_by = pc.state().stage;
    if (drawn_by < stage || drawn_by > last) return pc.PressEscape();
    if (act) act(pc);
  });
  return run;
}

// The recorded calls of each presented frame of the run, in order.
std::vector<std::vector<DrawCall>> RecordedFrames(long frames) {
  std::vector<std::vector<DrawCall>> chunks(1);
  for (const DrawCall& c : LastRecordingDriver()->calls) {
    chunks.back().push_back(c);
    if (c.name == "Flip") chunks.emplace_back();
  }
  chunks.pop_back();  // the unfinished last pass
  // Start-up presents frames of its own before the stage loops.
  chunks.erase(chunks.begin(), chunks.end() - frames);
  return chunks;
}

// DrawOval calls of size w x h in a frame, as their (x, y) on the canvas.
std::vector<std::pair<float, float>> Ovals(const std::vector<DrawCall>& frame, float w, float h) {
  std::vector<std::pair<float, float>> out;
  for (const DrawCall& c : frame) {
    if (c.name == "DrawOval" && c.args[2] - c.args[0] == w && c.args[3] - c.args[1] == h)
      out.push_back({c.args[4], c.args[5]});
  }
  return out;
}

// Where the 90x90 face image is drawn in a frame.
std::pair<float, float> FaceDrawnAt(const std::vector<DrawCall>& frame) {
  for (const DrawCall& c : frame) {
    if (c.name == "DrawImage" && c.args[2] - c.args[0] == 90) return {c.args[4], c.args[5]};
  }
  return {-1, -1};
}

// Keeps the cursor far below and left of anything stages 5 and 6 do.
void ParkCursor() {
  g.cursor_x = 6;
  g.cursor_y = 591;
}

}  // namespace

// ---- Stage 4: the stare ----

TEST(Stage4, CalmPlayerGoesOnThroughStages5And6To7) {
  Played run = PlayFrom(4, 6, ParkCursor);
  ExpectHandover(run.result, 4, 5, 200);
  ExpectHandover(run.result, 5, 6, 215);
  ExpectHandover(run.result, 6, 7, 121);
  // Stage 4's hop is drawn only: stage 5 takes off from where the face stood.
  const std::vector<Spot>& five = run.face[5];
  ASSERT_FALSE(five.empty());
  EXPECT_EQ(five.front().x, 400);
  EXPECT_EQ(five.front().y, 300);
  // Stage 6 starts exactly where stage 5 left the face.
  const std::vector<Spot>& six = run.face[6];
  ASSERT_FALSE(six.empty());
  EXPECT_EQ(six.front().x, five.back().x);
  EXPECT_EQ(six.front().y, five.back().y);
}

TEST(Stage4, JerkCountsOnlyOnTheGroundAndLeadsToStage12SevenFramesLater) {
  struct Case {
    std::vector<int> jerks_on;  // drawn frames on which the cursor moves
    int dx, dy;                 // pointer motion of each move
    int to, at;
  };
  const Case cases[] = {
      {{50}, 20, 0, 12, 57},       // the last frame before take-off
      {{60}, 20, 0, 5, 200},       // in the air: unnoticed
      {{79}, 0, -20, 5, 200},      // still in the air
      {{80}, 0, 20, 12, 87},       // landed
      {{195}, 20, 0, 12, 202},     // too late for stage 5 at 200, stage 12 follows at 202
      {{10}, 15, 0, 5, 200},       // 12 pixels is no jerk
      {{10}, 0, 17, 12, 17},       // 13 pixels is
      {{10, 14}, -20, 0, 12, 21},  // a later jerk restarts the count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "first jerk on frame " << c.jerks_on[0] << ", motion " << c.dx << "," << c.dy);
    Played run = PlayFrom(4, 4, nullptr, [&](PlayerControl& pc) {
      // Input given now is read by the next pass, which draws with the current stage_frame.
      for (int f : c.jerks_on) {
        if (pc.state().stage_frame == f) pc.MoveBy(c.dx, c.dy);
      }
    });
    ExpectHandover(run.result, 4, c.to, c.at);
  }
}

TEST(Stage4, StaresAndHopsUntilAJerkThenFollowsTheCursor) {
  // The cursor creeps right of and below the face, 12 pixels a frame (no jerk), then jerks on
  // frame 150.
  Played run = PlayFrom(
      4, 4, nullptr,
      [](PlayerControl& pc) {
        if (pc.state().stage_frame == 150) {
          pc.MoveBy(20, 0);
        } else if (pc.state().cursor_x < 600) {
          pc.MoveBy(15, 0);
        }
      },
      DrawMode::Recording);
  ExpectHandover(run.result, 4, 12, 157);
  std::vector<std::vector<DrawCall>> frames = RecordedFrames(run.result.frames);
  ASSERT_EQ(frames.size(), 157u);

  for (int f = 0; f < 157; ++f) {
    SCOPED_TRACE(::testing::Message() << "f = " << f);
    const auto pupils = Ovals(frames[f], 20, 20);
    ASSERT_EQ(pupils.size(), 2u);
    // Straight ahead until the jerk; then at look_x = look_y = 5, eye whites a pixel lower.
    const float shift = f > 150 ? 5.0f : 0.0f;
    EXPECT_EQ(pupils[0], std::make_pair(15 + shift, 30 + shift));
    EXPECT_EQ(pupils[1], std::make_pair(55 + shift, 30 + shift));
    EXPECT_EQ(Ovals(frames[f], 30, 30).at(0).second, f > 150 ? 26.0f : 25.0f);
    if (f < 121) {
      EXPECT_TRUE(Ovals(frames[f], 34, 34).empty());  // no blinking yet
    }
  }
  // The first blink time has long passed: the lids shut at once.
  EXPECT_EQ(Ovals(frames[121], 34, 34).size(), 2u);
  // One hop 90 pixels high, peaking at frame 65.
  EXPECT_EQ(FaceDrawnAt(frames[50]), std::make_pair(400.0f, 300.0f));
  EXPECT_EQ(FaceDrawnAt(frames[60]), std::make_pair(400.0f, 220.0f));
  EXPECT_EQ(FaceDrawnAt(frames[65]), std::make_pair(400.0f, 210.0f));
  EXPECT_EQ(FaceDrawnAt(frames[81]), std::make_pair(400.0f, 300.0f));
}

// ---- Stage 5: hopping about ----

// A new hop's sideways travel: drawn at random, turned round if it would carry the face from x
// past x 50 or x 750.
int HopStep(int x, int drift) {
  if (x + drift < 50 || x + drift > 750) drift = -drift;
  return drift / 30;
}

TEST(Stage5, HopsGrowWidenAndFallPastTheirLineAtTheEnd) {
  Played run = PlayFrom(5, 5, ParkCursor);
  ExpectHandover(run.result, 5, 6, 215);
  const std::vector<Spot>& five = run.face[5];
  ASSERT_EQ(five.size(), 215u);

  // The first hop is 60 high and straight up; each later one draws its height (0 to 32 higher
  // than the last), then its drift (within +-2f), from the seeded generator.
  SeedRandom(PlayOptions{}.seed);
  int height = 60;
  int step = 0;
  for (int f0 = 0; f0 < 210; f0 += 30) {
    SCOPED_TRACE(::testing::Message() << "hop from frame " << f0);
    if (f0 > 0) {
      height = TruncToInt(RandomFloat(height, height + 33));
      step = HopStep(five[f0 - 1].x, TruncToInt(RandomFloat(-2 * f0, 2 * f0)));
    }
    EXPECT_EQ(five[f0].y, 300);  // every hop takes off from the same line
    EXPECT_EQ(five[f0 + 15].y, 300 - height);
    for (int f = std::max(f0, 1); f < f0 + 30; ++f)
      EXPECT_EQ(five[f].x - five[f - 1].x, step) << "f = " << f;
  }
  // No hop after the landing at 210: the face keeps falling.
  EXPECT_EQ(five[210].y, 300);
  for (int f = 211; f < 215; ++f) EXPECT_GT(five[f].y, five[f - 1].y);
}

// ---- Stage 6: happy hops, knocked away ----

TEST(Stage6, UntouchedGoesToStage7BackOnItsTakeOffLine) {
  Played run = PlayFrom(6, 6, ParkCursor);
  ExpectHandover(run.result, 6, 7, 121);
  const std::vector<Spot>& six = run.face[6];
  ASSERT_EQ(six.size(), 121u);
  EXPECT_EQ(six.back().y, 300);  // the hop begun at 120 is never flown
  // Big hops, height drawn before drift.
  SeedRandom(PlayOptions{}.seed);
  for (int f0 : {30, 60, 90}) {
    const int height = TruncToInt(RandomFloat(150.0, 370.0));
    const int step = HopStep(six[f0 - 1].x, TruncToInt(RandomFloat(-350.0, 350.0)));
    EXPECT_EQ(six[f0 + 15].y, 300 - height) << "hop from " << f0;
    EXPECT_EQ(six[f0 + 1].x - six[f0].x, step) << "hop from " << f0;
  }
}

TEST(Stage6, TouchKnocksTheFaceAwayTillItFallsBelow450) {
  // A still cursor at (face_x - offset, cursor_y) touches the face on the first decision.
  struct Case {
    const char* what;
    int face_x, face_y, offset, cursor_y;
    int at;           // stage_frame of the hand-over to stage 9
    int x_on_frame7;  // face_x on drawn frame 7
    int final_x;      // face_x on the last drawn frame
    int top_y;        // the highest the face got
  };
  const Case cases[] = {
      // From above the first hop (60 high, peak at 15) goes on. 250 / 10 = 25 is less than a
      // pixel a frame, 250 / 5 one pixel to the right; on the centre line 8 to the left.
      {"offset 10", 400, 300, 10, 300, 45, 400, 400, 240},
      {"offset 5", 400, 300, 5, 300, 45, 407, 444, 240},
      {"centre line", 400, 300, 0, 300, 45, 344, 48, 240},
      {"from below: knocked 100 up first", 400, 300, 10, 320, 41, 400, 400, 200},
      // 8 pixels a frame into a side, then back at 200 / 30 = 6.
      {"left edge", 100, 300, 0, 300, 45, 45, 45 + 6 * 37, 240},
      {"right edge", 700, 300, 1, 300, 45, 755, 755 - 6 * 37, 240},
      // Knocked up from y 140: the hop's top lies at 40, above the edge. Held there on frame 13,
      // the face must fall from the edge rather than stick to it.
      {"top edge", 400, 140, 10, 160, 45, 400, 400, 45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Played run = PlayFrom(6, 6, [&] {
      g.face_x = c.face_x;
      g.face_y = c.face_y;
      g.cursor_x = c.face_x - c.offset;
      g.cursor_y = c.cursor_y;
    });
    ExpectHandover(run.result, 6, 9, c.at);
    const std::vector<Spot>& six = run.face[6];
    ASSERT_EQ(six.size(), static_cast<size_t>(c.at));
    EXPECT_EQ(six[7].x, c.x_on_frame7);
    EXPECT_EQ(six.back().x, c.final_x);
    EXPECT_EQ(run.MinFaceY(6), c.top_y);
  }
}
