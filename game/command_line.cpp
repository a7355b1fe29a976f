#include "game/command_line.h"

#include <ostream>
#include <string_view>

// The version is the project version from the top-level CMakeLists.txt, handed in as a definition.
#ifndef MOODY_VERSION
#error "MOODY_VERSION must be defined by the build"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: moody [--window]\n"
    "       moody --help | --version\n"
    "\n"
    "A silent, text-free animation: a yellow face that wakes up and reacts to the cursor\n"
    "you steer with the mouse. Escape quits at any time.\n"
    "\n"
    "Options:\n"
    "  --window    play in an 800x600 window on the desktop instead of full screen\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Environment:\n"
    "  DISPLAY       the X display to open\n"
    "  MOODY_WINDOW  set to 1 to play in a window, as --window does\n";

}  // namespace

const char* MoodyVersion() { return MOODY_VERSION; }

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] ? argv[i] : "";
    if (arg == "--window") {
      line.window = true;
      continue;
    }
    if (arg == "--help") {
      line.action = CommandLine::kHelp;
    } else if (arg == "--version") {
      line.action = CommandLine::kVersion;
    } else {
      line.action = CommandLine::kUsageError;
      line.bad_argument = arg;
    }
    return line;
  }
  return line;
}

int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
  switch (line.action) {
    case CommandLine::kPlay:
      return -1;
    case CommandLine::kHelp:
      out << kUsage << std::flush;
      return out ? 0 : 1;  // a help that could not be written (a full disk, a closed pipe) failed
    case CommandLine::kVersion:
      out << "moody " << MoodyVersion() << '\n' << std::flush;
      return out ? 0 : 1;
    case CommandLine::kUsageError:
      err << "moody: unknown argument '" << line.bad_argument << "'\n"
          << "Try 'moody --help' for the options.\n"
          << std::flush;
      return kExitUsage;
  }
  return -1;
}
