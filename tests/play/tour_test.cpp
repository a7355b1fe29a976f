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

std::vector<TourStop> PlayTourHeadless(int rounds, long escape_at_flip, bool* escaped) {
  std::vector<TourStop> stops;
  HeadlessRun run(0);
  long flips = 0;
  const int hook = FlipHooks().Add(
      [&](const int&) {
        if (++flips == escape_at_flip) run.system().PressKey(27);
      },
      0);
  run.Play([&] {
    OpenGameDisplay();
    *escaped = PlayTour(BuiltinTour(), rounds, [&](const TourStop& s) { stops.push_back(s); });
  });
  FlipHooks().Remove(hook);
  return stops;
}

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

TEST(Tour, StoriesOneAfterAnotherOnOneDisplayKeepInStep) {
  bool escaped = true;
  const std::vector<TourStop> stops = PlayTourHeadless(2, -1, &escaped);
  EXPECT_FALSE(escaped);
  ASSERT_EQ(stops.size(), 2 * BuiltinTour().size());
  for (size_t i = 0; i < stops.size(); ++i) {
    EXPECT_EQ(stops[i].movie, i % BuiltinTour().size());
    EXPECT_TRUE(stops[i].in_step) << "movie " << stops[i].movie << " of round " << i / 9 + 1;
  }
}

TEST(Tour, EscapeInTheSecondStoryEndsTheTour) {
  bool escaped = false;
  const long first_story_frames = BuiltinTour().at(0).frames;
  const std::vector<TourStop> stops = PlayTourHeadless(1, first_story_frames + 300, &escaped);
  EXPECT_TRUE(escaped);
  ASSERT_EQ(stops.size(), 1u);
  EXPECT_TRUE(stops[0].in_step);
}

}  // namespace
