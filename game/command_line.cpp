#include "game/command_line.h"

#include <charconv>
#include <ostream>
#include <string_view>

// The version is the project version from the top-level CMakeLists.txt, handed in as a definition.
#ifndef MOODY_VERSION
#error "MOODY_VERSION must be defined by the build"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: moody [--window] [--seed N] [--record FILE | --replay FILE] [--hold-at N]\n"
    "       moody --demo [--window | -root | -window-id ID]\n"
    "       moody --verify FILE...\n"
    "       moody --help | --version\n"
    "\n"
    "A silent, text-free animation: a yellow face that wakes up and reacts to the cursor\n"
    "you steer with the mouse. Escape quits at any time.\n"
    "\n"
    "Options:\n"
    "  --window         play in an 800x600 window on the desktop instead of full screen\n"
    "  --seed N         start the random choices from N (0 to 2147483647), not the clock\n"
    "  --record FILE    write the session to FILE as a movie as it is played\n"
    "  --replay FILE    play the movie in FILE: the mouse is ignored, Escape still ends it\n"
    "  --demo           play the built-in tour of the story's endings, over and over;\n"
    "                   the mouse is ignored, Escape ends it\n"
    "  -root            (with --demo) draw on the root window, or in the window that\n"
    "                   XSCREENSAVER_WINDOW names, as a screen saver does\n"
    "  -window-id ID    (with --demo) draw into the X window ID, as a screen saver does\n"
    "  --hold-at N      once frame N is shown, keep showing it (Escape still quits)\n"
    "  --verify FILE... play each movie without a display and check it keeps in step;\n"
    "                   status 0 all in step, 1 one out of step, 2 a file is not a movie\n"
    "  --help           print this help and exit\n"
    "  --version        print the version and exit\n"
    "\n"
    "A movie is text: the seed, then each frame's pointer offset, clicks and Escape\n"
    "presses (still frames folded), with checks of the game's state along the way.\n"
    "\n"
    "Environment:\n"
    "  DISPLAY       the X display to open\n"
    "  MOODY_WINDOW  set to 1 to play in a window, as --window does\n"
    "  XSCREENSAVER_WINDOW  with --demo, the window to draw into\n";

CommandLine UsageError(CommandLine line, std::string_view argument, std::string problem = {}) {
  line.action = CommandLine::kUsageError;
  line.bad_argument = argument;
  line.problem = std::move(problem);
  return line;
}

// A window id as X tools write it: hexadecimal with 0x, or decimal.
bool ParseWindowId(std::string_view text, unsigned long* id) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), *id, base);
  return ec == std::errc() && ptr == text.data() + text.size() && *id != 0;
}

// A whole number from 0 to 2147483647, digits only.
bool ParseSeed(std::string_view text, int32_t* seed) {
  if (text.empty() || text[0] == '+' || text[0] == '-') return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *seed);
  return ec == std::errc() && ptr == end;
}

}  // namespace

const char* MoodyVersion() { return MOODY_VERSION; }

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] ? argv[i] : "";
    const bool has_value = i + 1 < argc && argv[i + 1] && *argv[i + 1];
    if (arg == "--window") {
      line.window = true;
    } else if (arg == "--seed") {
      int32_t seed = 0;
      if (!has_value || !ParseSeed(argv[i + 1], &seed)) {
        return UsageError(line, arg, "--seed needs a number from 0 to 2147483647");
      }
      if (line.seed) return UsageError(line, arg, "--seed is given twice");
      line.seed = seed;
      ++i;
    } else if (arg == "--hold-at") {
      int32_t frame = 0;
      if (!has_value || !ParseSeed(argv[i + 1], &frame) || frame == 0) {
        return UsageError(line, arg, "--hold-at needs a frame number from 1 to 2147483647");
      }
      if (line.hold_at) return UsageError(line, arg, "--hold-at is given twice");
      line.hold_at = frame;
      ++i;
    } else if (arg == "--record" || arg == "--replay") {
      std::string& file = arg == "--record" ? line.record : line.replay;
      if (!has_value) return UsageError(line, arg, std::string(arg) + " needs a file name");
      if (!file.empty()) return UsageError(line, arg, std::string(arg) + " is given twice");
      file = argv[++i];
    } else if (arg == "--demo") {
      line.demo = true;
    } else if (arg == "-root" || arg == "--root") {
      line.root = true;
    } else if (arg == "-window-id" || arg == "--window-id") {
      if (!has_value || !ParseWindowId(argv[i + 1], &line.window_id)) {
        return UsageError(line, arg, std::string(arg) + " needs an X window id");
      }
      ++i;
    } else if (arg == "--verify") {
      for (++i; i < argc; ++i) line.verify.emplace_back(argv[i] ? argv[i] : "");
      if (line.verify.empty()) return UsageError(line, arg, "--verify needs at least one movie");
      line.action = CommandLine::kVerify;
    } else if (arg == "--help") {
      line.action = CommandLine::kHelp;
      return line;
    } else if (arg == "--version") {
      line.action = CommandLine::kVersion;
      return line;
    } else {
      return UsageError(line, arg);
    }
  }
  if (!line.record.empty() && !line.replay.empty()) {
    return UsageError(line, "--replay", "--record and --replay do not go together");
  }
  if (line.seed && !line.replay.empty()) {
    return UsageError(line, "--seed", "--seed does not go with --replay: the movie has its seed");
  }
  if ((line.root || line.window_id) && !line.demo) {
    return UsageError(line, line.root ? "-root" : "-window-id",
                      "-root and -window-id go with --demo");
  }
  if (line.demo && (line.seed || !line.record.empty() || !line.replay.empty() ||
                    line.action == CommandLine::kVerify)) {
    return UsageError(line, "--demo",
                      "--demo plays its own movies: no --seed, --record, --replay or --verify");
  }
  if (line.demo && line.window && (line.root || line.window_id)) {
    return UsageError(line, "--window", "--window does not go with -root or -window-id");
  }
  if (line.action == CommandLine::kVerify && (line.seed || line.hold_at || !line.record.empty() ||
                                                 !line.replay.empty())) {
    return UsageError(line, "--verify", "--verify plays no session of its own");
  }
  return line;
}

int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
  switch (line.action) {
    case CommandLine::kPlay:
    case CommandLine::kVerify:
      return -1;
    case CommandLine::kHelp:
      out << kUsage << std::flush;
      return out ? 0 : 1;  // a help that could not be written (a full disk, a closed pipe) failed
    case CommandLine::kVersion:
      out << "moody " << MoodyVersion() << '\n' << std::flush;
      return out ? 0 : 1;
    case CommandLine::kUsageError:
      err << "moody: "
          << (line.problem.empty() ? "unknown argument '" + line.bad_argument + "'" : line.problem)
          << "\nTry 'moody --help' for the options.\n"
          << std::flush;
      return kExitUsage;
  }
  return -1;
}
