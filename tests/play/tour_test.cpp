// The demo's tour: every built-in movie keeps in step from a fresh start and after the others in
// one process, together they end through all nine roads into the closing card, and Escape ends
// the tour where it is.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "game/demo/tour.h"
#include "game/headless_run.h"
#include "game/movie/movie_verify.h"
#include "game/stage_machine.h"
#include "game/startup.h"

namespace {

TEST(Tour, EachMovieVerifiesAndTogetherTheyTakeTheNineRoadsIntoTheClosingCard) {
  std::set<int> endings;
  const int hook = StageChangeHooks().Add(
      [&](const StageChange& c) {
        if (c.to == 74) endings.insert(c.from);
      },
      0);
  for (const Movie& movie : BuiltinTour()) {
    std::string where;
    EXPECT_TRUE(VerifyMovie(movie, &where)) << "seed " << movie.seed << ": " << where;
  }
  StageChangeHooks().Remove(hook);
  EXPECT_EQ(endings, (std::set<int>{34, 35, 38, 41, 42, 44, 48, 50, 51}));
}

TEST(Tour, StoriesOneAfterAnotherOnOneDisplayKeepInStepUntilEscape) {
  const std::vector<Movie>& tour = BuiltinTour();
  // Escape some 300 frames into the second story of the second round.
  long escape_at = tour[0].frames + 300;
  for (const Movie& movie : tour) escape_at += movie.frames;
  std::vector<TourStop> stops;
  bool escaped = false;
  HeadlessRun run(0);
  long flips = 0;
  const int hook = FlipHooks().Add(
      [&](const int&) {
        if (++flips == escape_at) run.system().PressKey(27);
      },
      0);
  run.Play([&] {
    OpenGameDisplay();
    escaped = PlayTour(tour, 3, [&](const TourStop& s) { stops.push_back(s); });
  });
  FlipHooks().Remove(hook);
  EXPECT_TRUE(escaped);
  ASSERT_EQ(stops.size(), tour.size() + 1);
  for (size_t i = 0; i < stops.size(); ++i) {
    EXPECT_EQ(stops[i].movie, i % tour.size());
    EXPECT_TRUE(stops[i].in_step) << "story " << i + 1;
  }
}

}  // namespace
