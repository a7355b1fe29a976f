// Act one from the title: the face wakes, plays and is startled or grows wary.
#include "tests/journeys/journey.h"

namespace {

// Pokes the sleeping face awake once the cursor can move.
void PokeAwake(PlayerControl& p, int f) {
  if (f >= 400) PokeFace(p);
}

JourneyRows rows({
    {.name = "LeftAloneTheFaceWakesPlaysAndGrowsWary",
     .legs = {{0, 2, 810}, {2, 3, 400}, {3, 4, 305}, {4, 5, 200}, {5, 6, 215}, {6, 7, 121},
              {7, 8, 140}, {8, 12, 120}},
     .hand = {{0, [](PlayerControl& p, int f) { if (f >= 400) KeepAway(p); }}}},
    {.name = "PokedAwakeThenPokedAgainTheFaceIsStartled",
     .legs = {{0, 1}, {1, 9}, {9, 10, 150}},
     .hand = {{0, PokeAwake}, {1, [](PlayerControl& p, int f) { if (f >= 60) PokeFace(p); }}}},
});

}  // namespace
