#include "game/movie/movie_verify.h"

#include <ostream>

#include "game/headless_run.h"
#include "game/movie/movie.h"
#include "game/movie/movie_session.h"

namespace {

// Thrown through the game's code when the run leaves the movie's road.
struct OutOfStep {
  int64_t frame;
  int stage;
};

}  // namespace

bool VerifyMovie(const Movie& movie, std::string* where) {
  bool in_step = false;
  {
    HeadlessRun run(movie.seed);
    ReplaySession(movie, [](int64_t frame, int stage) { throw OutOfStep{frame, stage}; });
    try {
      const int status = run.Play();
      in_step = true;
      *where = "in step, " + std::to_string(movie.frames) + " frames, ";
      *where += movie.end ? "ended with status " + std::to_string(status)
                          : "cut short (it was not recorded to its end)";
    } catch (const OutOfStep& at) {
      *where = "out of step at frame " + std::to_string(at.frame) + " (stage " +
               std::to_string(at.stage) + ")";
    }
  }
  EndMovieSession();
  return in_step;
}

int VerifyMovies(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const std::string& path : paths) {
    Movie movie;
    std::string text;
    if (!LoadMovieFile(path, &movie, &text)) {
      err << text << '\n';
      status = 2;
      continue;
    }
    if (VerifyMovie(movie, &text)) {
      out << path << ": " << text << '\n';
    } else {
      out << "moody: " << path << " is " << text << '\n';
      if (status == 0) status = 1;
    }
  }
  out << std::flush;
  err << std::flush;
  return status;
}
