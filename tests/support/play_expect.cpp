#include "tests/support/play_expect.h"

#include <gtest/gtest.h>

void ExpectHandover(const PlayResult& result, int from, int to, int at_stage_frame) {
  for (const Handover& h : result.handovers) {
    if (h.from != from) continue;
    EXPECT_EQ(h.to, to) << "from stage " << from;
    EXPECT_EQ(h.at_stage_frame, at_stage_frame) << "from stage " << from;
    return;
  }
  ADD_FAILURE() << "stage " << from << " never handed over";
}
