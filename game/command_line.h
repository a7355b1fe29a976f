#pragma once
// moody's command line: three options and nothing else. Reading the arguments is kept apart from
// acting on them, so the rules can be checked without starting the game.
#include <iosfwd>
#include <string>

struct CommandLine {
  enum Action { kPlay, kHelp, kVersion, kUsageError };
  Action action = kPlay;
  bool window = false;       // --window: a window on the desktop instead of full screen
  std::string bad_argument;  // the argument that made it a kUsageError
};

// Arguments are read left to right; the first --help, --version or unknown argument decides,
// so `moody --help --bogus` helps and `moody --bogus --help` complains.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The exit status when the command line ends the run before the game starts.
constexpr int kExitUsage = 2;

// Writes the help or the version to `out`, or the complaint about a bad argument to `err`, and
// returns the exit status to end with (1 if the answer could not be written); for kPlay writes
// nothing and returns -1.
int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err);

const char* MoodyVersion();  // the project's version, as CMake knows it
