#include "game/demo/tour.h"

#include <sstream>
#include <string>

#include "draw2d/render_state.h"
#include "game/demo/tour_movie_bytes.h"
#include "game/movie/movie_session.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "game/state.h"
#include "system/event_queue.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

constexpr int kEscapeKey = 27;

// Thrown through the game's code when a story ends, however it ends.
struct StoryOver {
  bool in_step;
};

// What the last story left behind goes: its timer and the ticks it queued (a new timer may be
// made where the old one was, and its ticks must not pass for the new one's), and its state.
void ClearTheStage() {
  if (g.frame_timer) g.frame_timer->Stop();
  RunPostedOperations();
  ResetEventQueue();
  ResetGameState();
  SetFrameSampling(false);
}

}  // namespace

const std::vector<Movie>& BuiltinTour() {
  static const std::vector<Movie> tour = [] {
    std::vector<Movie> movies;
    size_t count = 0;
    const TourMovieBytes* table = BuiltinTourMovieBytes(&count);
    for (size_t i = 0; i < count; ++i) {
      std::istringstream text(
          std::string(reinterpret_cast<const char*>(table[i].bytes), table[i].size));
      Movie movie;
      std::string error;
      if (ReadMovie(text, table[i].name, &movie, &error)) movies.push_back(std::move(movie));
    }
    return movies;
  }();
  return tour;
}

bool PlayTour(const std::vector<Movie>& tour, int rounds,
              const std::function<void(const TourStop&)>& after_each) {
  SetEndProgramHandler([](int) { throw StoryOver{true}; });
  bool escaped = false;
  for (int round = 0; !escaped && (rounds == 0 || round < rounds); ++round) {
    for (size_t i = 0; !escaped && i < tour.size(); ++i) {
      // An Escape pressed as the last story ended ends the tour too.
      if (KeyHits(kEscapeKey) != 0) {
        escaped = true;
        break;
      }
      ClearTheStage();
      ReplaySession(tour[i], [](int64_t, int) { throw StoryOver{false}; });
      // From here on as a new process: the display's drawing state as it opened, then the story.
      ResetRenderState();
      // Clicks made meanwhile are not the movie's; an Escape still counts.
      FlushMouse();
      SetFrameSampling(true);
      SetStartupSeedOverride(true, tour[i].seed);
      bool in_step = false;
      try {
        StartStory();
        RunStages();
      } catch (const StoryOver& over) {
        in_step = over.in_step;
      }
      // A story that ended in step before its movie did was ended by the player's Escape.
      escaped = in_step && !ReplayFinished();
      EndMovieSession();
      if (after_each && !escaped) after_each(TourStop{i, in_step});
    }
  }
  SetEndProgramHandler(nullptr);
  return escaped;
}
