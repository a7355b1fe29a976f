// Whole stories from the title to the closing card, as two kinds of player meet them.
#include "tests/journeys/journey.h"

namespace {

JourneyRows rows({
    // Nobody touches the mouse or the keyboard: 4,094 frames with this seed (other seeds may
    // see the hopping face land on the still cursor in stage 6 and go 6 -> 9 -> 12 instead).
    {.name = "Story_LeftAloneFromTheTitleToTheClosingCard",
     .legs = {{0, 2, 810}, {2, 3, 400}, {3, 4, 305}, {4, 5, 200}, {5, 6, 215}, {6, 7, 121},
              {7, 8, 140}, {8, 12, 120}, {12, 19, 180}, {19, 20, 300}, {20, 25, 102},
              {25, 27, 160}, {27, 36, 1}, {36, 37, 140}, {37, 38, 350}, {38, 74, 450}}},
    // A player who only clicks, many times, while stage 12 runs: the poke comes once the creeping
    // face has reached the cursor.
    {.name = "Story_ClicksDuringTheCreepingFace",
     .legs = {{0, 2, 810}, {2, 3, 400}, {3, 4, 305}, {4, 5, 200}, {5, 6, 215}, {6, 7, 121},
              {7, 8, 140}, {8, 12, 120}, {12, 22, 169}, {22, 23, 42}, {23, 24, 265},
              {24, 26, 200}, {26, 43, 90}, {43, 44, 110}, {44, 74, 750}},
     .hand = {{12, [](PlayerControl& p, int f) { if (f % 4 == 0) p.Click(); }}}},
});

}  // namespace
