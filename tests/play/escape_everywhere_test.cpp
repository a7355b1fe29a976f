// Escape ends the program with status 0 from every stage: pressed at the stage's first frame or
// later on, the program ends at the next WaitFrame, in the stage it was pressed in.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "game/stage_machine.h"
#include "tests/support/play_harness.h"

namespace {

// A later frame to press Escape at: well inside the stage's shortest stay with the hand still.
constexpr int kLaterFrame = 20;

// The game as the stage before would leave it: face in the middle, cursor well away from it.
void PlainEntry(int stage) {
  g.stage = stage;
  g.stage_frame = 0;
  g.face_x = 400;
  g.face_y = 300;
  g.cursor_x = 150;
  g.cursor_y = 500;
}

// Values of stages that take over more than the face and cursor from the stage before.
const std::map<int, std::function<void()>>& EntryValues() {
  static const std::map<int, std::function<void()>> values = {
      // Stage 13 saw a clear move 50 pixels to the right (a shorter one skips stage 14 at once).
      {14,
       [] {
         g.scene_var_3 = 150;
         g.scene_var_4 = 500;
         g.scene_var_5 = 200;
         g.scene_var_6 = 500;
       }},
  };
  return values;
}

struct EscapeRun {
  PlayResult result;
  int final_stage = -1;
};

EscapeRun EscapeIn(int stage, long at_frame) {
  PlayOptions options;
  options.max_frames = at_frame + 1000;
  options.setup = [stage] {
    PlainEntry(stage);
    auto extra = EntryValues().find(stage);
    if (extra != EntryValues().end()) extra->second();
  };
  EscapeRun run;
  run.result = Play(options, [at_frame](PlayerControl& p) {
    if (p.frame() == at_frame) p.PressEscape();
  });
  run.final_stage = g.stage;
  return run;
}

std::string Describe(int stage, long at_frame, const EscapeRun& run) {
  std::string s = "stage " + std::to_string(stage) + ", Escape at frame " + std::to_string(at_frame) +
                  ": ended " + std::to_string(run.result.ended) + ", status " +
                  std::to_string(run.result.exit_status) + ", frames " +
                  std::to_string(run.result.frames) + ", stages";
  for (int visited : run.result.stages()) s += " " + std::to_string(visited);
  return s;
}

}  // namespace

TEST(EscapeEverywhere, AtTheFirstFrameAndLaterEveryStageEndsTheProgram) {
  for (const StageEntry& entry : StageTable()) {
    for (long at_frame : {0L, static_cast<long>(kLaterFrame)}) {
      const EscapeRun run = EscapeIn(entry.number, at_frame);
      const std::string what = Describe(entry.number, at_frame, run);
      EXPECT_TRUE(run.result.ended) << what;
      EXPECT_EQ(run.result.exit_status, 0) << what;
      // Ends at the very next WaitFrame, before another frame is presented.
      EXPECT_EQ(run.result.frames, at_frame + 1) << what;
      EXPECT_EQ(run.final_stage, entry.number) << what;
      EXPECT_EQ(run.result.stages(), std::vector<int>{entry.number}) << what;
    }
  }
}
