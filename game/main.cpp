// moody: the real drivers (X11 input, the system clock, OpenGL drawing), then the game. The
// display restores the desktop on every way out (exit, signals, a lost connection).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>

#include "display/display_request.h"
#include "draw2d/gl_quill2d_driver.h"
#include "game/command_line.h"
#include "game/demo/tour.h"
#include "game/frame_hold.h"
#include "game/movie/movie.h"
#include "game/movie/movie_session.h"
#include "game/movie/movie_verify.h"
#include "game/movie/movie_writer.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

[[noreturn]] void Fail(const std::string& line, int status) {
  std::cerr << line << std::endl;
  std::exit(status);
}

}  // namespace

int main(int argc, char** argv) {
  // --help, --version and mistakes end here, before any display is opened.
  const CommandLine command_line = ParseCommandLine(argc, argv);
  if (const int status = AnswerCommandLine(command_line, std::cout, std::cerr); status >= 0)
    return status;
  if (command_line.action == CommandLine::kVerify) {
    return VerifyMovies(command_line.verify, std::cout, std::cerr);
  }

  // --window, or MOODY_WINDOW=1: an ordinary window instead of full screen.
  const char* window_env = std::getenv("MOODY_WINDOW");
  const bool windowed =
      command_line.window || (window_env != nullptr && std::string_view(window_env) == "1");

  if (command_line.demo) {
    // As a screen saver: the window given, or the one the saver made for its programs, or the
    // root window.
    const char* saver_window = std::getenv("XSCREENSAVER_WINDOW");
    unsigned long window = command_line.window_id;
    if (window == 0 && saver_window != nullptr && *saver_window != '\0') {
      window = std::strtoul(saver_window, nullptr, 0);
      if (window == 0) Fail("moody: XSCREENSAVER_WINDOW names no window", kExitUsage);
    }
    if (window != 0 || command_line.root) {
      RequestForeignWindow(window);
    } else {
      RequestWindowedDisplay(windowed);
    }
    static TLinuxSystemDriver system_driver;
    static TGLQuill2DDriver draw_driver;
    SetSystemDriver(&system_driver);
    SetGraphicsDriver(&draw_driver);
    OpenGameDisplay();
    PlayTour(BuiltinTour(), 0);
    EndProgram(0);
  }

  // Movies are read, and created, before the display opens: a fault changes nothing.
  static Movie movie;
  std::string error;
  if (!command_line.replay.empty() && !LoadMovieFile(command_line.replay, &movie, &error)) {
    Fail(error, kExitUsage);
  }
  SetClock(nullptr);
  const int32_t seed = !command_line.replay.empty() ? movie.seed
                       : command_line.seed          ? *command_line.seed
                                                    : ClockMillis() & 0x7fffffff;
  SetStartupSeedOverride(true, seed);
  static std::unique_ptr<MovieWriter> writer;
  if (!command_line.record.empty()) {
    std::FILE* file = std::fopen(command_line.record.c_str(), "w");
    if (!file) {
      Fail("moody: cannot create " + command_line.record + " (" + std::strerror(errno) + ")", 1);
    }
    writer = std::make_unique<MovieWriter>(file, seed);
    RecordSession(writer.get());
    // A movie that could not be written whole is no success, however the session ended.
    EndProgramHooks().Add(
        [](const int&) {
          if (writer->ok()) return;
          std::cerr << "moody: " << "the movie could not be written whole ("
                    << std::strerror(writer->write_errno()) << ")" << std::endl;
          std::exit(1);
        },
        -1);
  } else if (!command_line.replay.empty()) {
    ReplaySession(movie, [path = command_line.replay](int64_t frame, int stage) {
      std::cerr << "moody: " << path << " is out of step at frame " << frame << " (stage "
                << stage << ")" << std::endl;
      EndProgram(1);
    });
  }

  if (command_line.hold_at) HoldAtFrame(*command_line.hold_at);
  RequestWindowedDisplay(windowed);

  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);

  StartGame();
  RunStages();
  EndProgram(0);
}
