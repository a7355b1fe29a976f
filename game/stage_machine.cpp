#include "game/stage_machine.h"

#include <cstdlib>
#include <utility>

#include "game/stages.h"
#include "game/state.h"
#include "system/event_queue.h"
#include "system/polled_input.h"

namespace {

constexpr int kEscapeKey = 27;

std::function<void(int)>& EndProgramHandler() {
  static std::function<void(int)> handler;
  return handler;
}

}  // namespace

HookChain<const int>& EndProgramHooks() {
  static auto* hooks = new HookChain<const int>();  // the exit path may run after destructors
  return *hooks;
}

HookChain<const StageChange>& StageChangeHooks() {
  static auto* hooks = new HookChain<const StageChange>();
  return *hooks;
}

void SetStage(int n) {
  const int from = g.stage;
  const int at_frame = g.stage_frame;
  g.stage = n;
  // Keeps the frames left until the next blink unchanged across the change.
  g.blink_due = g.blink_due - g.stage_frame;
  g.stage_frame = 0;
  g.stage_scratch_a = -1;
  g.stage_scratch_b = -1;
  const StageChange change{from, n, at_frame};
  if (!StageChangeHooks().Empty()) StageChangeHooks().Run(change);
}

void WaitFrame() {
  for (;;) {
    if (KeyHits(kEscapeKey) != 0) EndProgram(0);
    WaitEvent();
    // Input and other events have already updated the polled state when they were emitted;
    // only the frame timer's tick counts. Without a timer nothing counts (events without a
    // source must not pass for ticks).
    if (g.frame_timer && EventSource() == g.frame_timer.get()) {
      ++g.stage_frame;
      return;
    }
  }
}

void EndProgram(int status) {
  if (!EndProgramHooks().Empty()) EndProgramHooks().Run(status);
  if (EndProgramHandler()) EndProgramHandler()(status);
  // The default path, and the fallback should a handler return: exit handlers put the
  // desktop back.
  std::exit(status);
}

void SetEndProgramHandler(std::function<void(int)> handler) {
  EndProgramHandler() = std::move(handler);
}


const std::vector<StageEntry>& StageTable() {
  static const std::vector<StageEntry> table = {
      {0, RunStage0}, {1, RunStage1}, {2, RunStage2}, {3, RunStage3}, {4, RunStage4}, {5, RunStage5},
      {6, RunStage6}, {7, RunStage7}, {8, RunStage8}, {9, RunStage9}, {10, RunStage10}, {11, RunStage11},
      {12, RunStage12}, {13, RunStage13}, {14, RunStage14}, {15, RunStage15}, {16, RunStage16}, {17, RunStage17},
      {18, RunStage18}, {19, RunStage19}, {20, RunStage20}, {21, RunStage21}, {22, RunStage22}, {23, RunStage23},
      {24, RunStage24}, {25, RunStage25}, {26, RunStage26}, {27, RunStage27}, {28, RunStage28}, {29, RunStage29},
      {30, RunStage30}, {31, RunStage31}, {32, RunStage32}, {33, RunStage33}, {34, RunStage34}, {35, RunStage35},
      {36, RunStage36}, {37, RunStage37}, {38, RunStage38}, {39, RunStage39}, {40, RunStage40}, {41, RunStage41},
      {42, RunStage42}, {43, RunStage43}, {44, RunStage44}, {45, RunStage45}, {46, RunStage46}, {47, RunStage47},
      {48, RunStage48}, {49, RunStage49}, {50, RunStage50}, {51, RunStage51}, {74, RunStage74},
  };
  return table;
}

void RunStages(const std::function<void(int)>& on_entry) {
  // No outer loop: a stage handing over to an earlier stage, or to one without a loop, falls
  // through everything after it and the program body ends.
  for (const StageEntry& entry : StageTable()) {
    if (on_entry) on_entry(entry.number);
    entry.run();
  }
}
