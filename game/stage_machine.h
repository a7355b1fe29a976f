#pragma once
// The stage machine: stages hand over with SetStage, every frame waits for one tick of the frame
// timer in WaitFrame, and the stage loops run in a fixed order from a table.
#include <functional>
#include <vector>

#include "system/hooks.h"

void SetStage(int n);
void WaitFrame();  // ends the program on Escape; otherwise returns at the next frame-timer tick

// Ending the program always goes through here. The game exits the process with `status`; the play
// harness installs a handler that returns control to the test instead (it must not return).
[[noreturn]] void EndProgram(int status = 0);
void SetEndProgramHandler(std::function<void(int)> handler);  // nullptr: exit the process
// Hear the exit status just before the program ends, whichever way.
HookChain<const int>& EndProgramHooks();

// Every SetStage: from, to, and the stage_frame at the moment of the call.
struct StageChange {
  int from;
  int to;
  int at_stage_frame;
};
HookChain<const StageChange>& StageChangeHooks();

// One entry per stage that exists, in the order the program runs them (0, 1, ..., 51, 74).
// `run` holds the stage's entry block and its loop; a stage without an entry is simply skipped.
struct StageEntry {
  int number;
  void (*run)();
};
const std::vector<StageEntry>& StageTable();
// Walks the table once, from the first entry to the last, as the program body does.
// `on_entry`, when given, hears the number of each entry just before it runs.
void RunStages(const std::function<void(int)>& on_entry = nullptr);
