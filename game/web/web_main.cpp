// moody in a browser. The page hands its URL options over as the desktop's arguments (--seed N,
// --replay FILE for a movie it fetched, --hold-at N); then the browser's drivers, and the game
// exactly as on the desktop. What a person would not see goes to the console: every hand-over
// with its frame, a movie that leaves its road, the end.
#include <emscripten.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "display/graphics.h"
#include "display/web/webgl_quill2d_driver.h"
#include "game/command_line.h"
#include "game/frame_hold.h"
#include "game/movie/movie.h"
#include "game/movie/movie_session.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/polled_input.h"
#include "system/web/animation_frame.h"
#include "system/web/web_system_driver.h"

namespace {

int64_t frames_presented = 0;  // as a movie counts frames

EM_JS(void, moody_page_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(double, moody_page_hold_at, (), { return Number(Module.holdAt) || 0; });
EM_JS(void, moody_page_ended, (int status), {
  if (typeof Module.onEnded === 'function') Module.onEnded(status);
});

void Say(const std::string& line) {
  std::printf("moody: %s\n", line.c_str());
  std::fflush(stdout);
}

// The program has ended: the page shows its end screen, and the runtime idles until the page
// starts again.
[[noreturn]] void EndInPage(int status) {
  Say("the end, status " + std::to_string(status));
  moody_page_ended(status);
  for (;;) WaitForAnimationFrame();
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (line.action != CommandLine::kPlay || line.window || !line.record.empty()) {
    Say("the page's options are seed=N, movie=URL and hold_at=N");
    EndInPage(kExitUsage);
  }
  SetEndProgramHandler(EndInPage);

  TWebClock& clock = WebClock();
  SetClock(&clock);
  static Movie movie;
  std::string error;
  if (!line.replay.empty() && !LoadMovieFile(line.replay, &movie, &error)) {
    Say(error);
    EndInPage(kExitUsage);
  }
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  const int32_t seed =
      !line.replay.empty() ? movie.seed
      : line.seed          ? *line.seed
                           : static_cast<int32_t>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count() &
                        0x7fffffff);
  SetStartupSeedOverride(true, seed);
  Say("seed " + std::to_string(seed));
  if (!line.replay.empty()) {
    ReplaySession(movie, [](int64_t frame, int stage) {
      Say("out of step at frame " + std::to_string(frame) + " (stage " + std::to_string(stage) +
          ")");
      EndProgram(1);
    });
  }

  FlipHooks().Add([](const int&) { frames_presented += FrameSamplingOn(); }, 100);
  StageChangeHooks().Add(
      [](const StageChange& change) {
        Say("hand-over at frame " + std::to_string(frames_presented) + ": stage " +
            std::to_string(change.from) + " to " + std::to_string(change.to));
      },
      0);
  if (line.hold_at) {
    // The page may move the hold on to a later frame (Module.holdAt).
    HoldAtFrame(
        *line.hold_at,
        [](int64_t frame) {
          const std::string title = "moody: frame " + std::to_string(frame);
          moody_page_title(title.c_str());
        },
        [] { return static_cast<int64_t>(moody_page_hold_at()); });
  }

  static TWebSystemDriver system_driver(clock, 800, 600);
  static TWebGLQuill2DDriver draw_driver;
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);

  StartGame();
  RunStages();
  EndProgram(0);
}
