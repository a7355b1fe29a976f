#pragma once
// Assertions on played runs.
#include "tests/support/play_harness.h"

// The first hand-over out of `from` went to `to` at that stage's frame `at_stage_frame`.
void ExpectHandover(const PlayResult& result, int from, int to, int at_stage_frame);
