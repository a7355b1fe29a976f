#pragma once
// moody's command line. Reading the arguments is kept apart from acting on them, so the rules
// can be checked without starting the game.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct CommandLine {
  enum Action { kPlay, kVerify, kHelp, kVersion, kUsageError };
  Action action = kPlay;
  bool window = false;               // --window: a window on the desktop instead of full screen
  std::optional<int32_t> seed;       // --seed N: the generator starts from N, not from the clock
  std::string record;                // --record FILE: the session written as a movie
  std::string replay;                // --replay FILE: a movie played instead of the mouse
  std::vector<std::string> verify;   // --verify FILE...: movies checked without a display
  bool demo = false;                 // --demo: the built-in tour of the story, looping for ever
  // With --demo, a screen saver's conventions: -root draws on the root window (or on the one
  // XSCREENSAVER_WINDOW names), -window-id ID into the given window.
  bool root = false;
  unsigned long window_id = 0;       // 0: none given
  std::optional<int32_t> hold_at;    // --hold-at N: frame N stays on the screen once shown
  std::string bad_argument;          // the argument that made it a kUsageError
  std::string problem;               // what is wrong, when the argument is known
};

// Arguments are read left to right; the first --help, --version or unknown argument decides,
// so `moody --help --bogus` helps and `moody --bogus --help` complains. Everything after
// --verify names a movie.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The exit status when the command line ends the run before the game starts.
constexpr int kExitUsage = 2;

// Writes the help or the version to `out`, or the complaint about a bad argument to `err`, and
// returns the exit status to end with (1 if the answer could not be written); for kPlay and
// kVerify writes nothing and returns -1.
int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err);

const char* MoodyVersion();  // the project's version, as CMake knows it
