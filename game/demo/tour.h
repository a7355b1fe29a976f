#pragma once
// The demo: movies played one after another on one open display, each a whole story from the
// title on its own seed, the game started afresh between them as a new process would be.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "game/movie/movie.h"

// The movies built into the program, in the order the tour plays them (read once; a movie that
// cannot be read is left out, which the tour's test would notice).
const std::vector<Movie>& BuiltinTour();

struct TourStop {
  size_t movie = 0;      // which movie of the tour has just ended
  bool in_step = false;  // it played to its recorded end
};

// Plays the tour `rounds` times (0: for ever) on the display OpenGameDisplay opened, the movies'
// input standing in for the player's. A movie that leaves its road is cut off and the next one
// starts. True when Escape ended it, false when the rounds were played.
bool PlayTour(const std::vector<Movie>& tour, int rounds,
              const std::function<void(const TourStop&)>& after_each = nullptr);
