// The command line: what each argument list decides, and what is written where with which exit
// status. The real program's answers are checked again on the installed binary by
// scripts/check-install.sh.
#include <gtest/gtest.h>

#include <initializer_list>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "game/command_line.h"

namespace {

CommandLine Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"moody"};
  argv.insert(argv.end(), args);
  argv.push_back(nullptr);  // as the system hands it over
  return ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
}

struct Answer {
  int status;
  std::string out, err;
};

Answer AnswerFor(std::initializer_list<const char*> args) {
  std::ostringstream out, err;
  const int status = AnswerCommandLine(Parse(args), out, err);
  return {status, out.str(), err.str()};
}

TEST(CommandLineParse, NoArgumentsPlaysFullScreen) {
  const CommandLine line = Parse({});
  EXPECT_EQ(line.action, CommandLine::kPlay);
  EXPECT_FALSE(line.window);
}

TEST(CommandLineParse, WindowPlaysInAWindowAndMayBeRepeated) {
  EXPECT_EQ(Parse({"--window"}).action, CommandLine::kPlay);
  EXPECT_TRUE(Parse({"--window"}).window);
  EXPECT_TRUE(Parse({"--window", "--window"}).window);
  EXPECT_EQ(Parse({"--window", "--window"}).action, CommandLine::kPlay);
}

TEST(CommandLineParse, TheFirstDecidingArgumentWins) {
  EXPECT_EQ(Parse({"--help"}).action, CommandLine::kHelp);
  EXPECT_EQ(Parse({"--version"}).action, CommandLine::kVersion);
  EXPECT_EQ(Parse({"--window", "--version"}).action, CommandLine::kVersion);
  EXPECT_EQ(Parse({"--help", "--version"}).action, CommandLine::kHelp);
  EXPECT_EQ(Parse({"--version", "--bogus"}).action, CommandLine::kVersion);

  const CommandLine bad = Parse({"--bogus", "--help"});
  EXPECT_EQ(bad.action, CommandLine::kUsageError);
  EXPECT_EQ(bad.bad_argument, "--bogus");
}

TEST(CommandLineParse, NearMissesAndStrayWordsAreErrors) {
  // Only the exact spellings count: no abbreviations, values, short forms or operands.
  for (const char* arg : {"--win", "--window=1", "-window", "--Window", "-h", "-v", "--", "-",
                          "help", "", "--help ", "--versions"}) {
    const CommandLine line = Parse({"--window", arg});
    EXPECT_EQ(line.action, CommandLine::kUsageError) << "'" << arg << "'";
    EXPECT_EQ(line.bad_argument, arg);
  }
}

TEST(CommandLineParse, MovieOptionsTakeTheirValuesAndRefuseWhatDoesNotFit) {
  CommandLine line = Parse({"--seed", "2147483647", "--record", "a.movie", "--window"});
  EXPECT_EQ(line.action, CommandLine::kPlay);
  EXPECT_EQ(line.seed, 2147483647);
  EXPECT_EQ(line.record, "a.movie");
  EXPECT_TRUE(line.window);
  EXPECT_EQ(Parse({"--replay", "b.movie"}).replay, "b.movie");
  EXPECT_EQ(Parse({"--replay", "b.movie", "--hold-at", "1"}).hold_at, 1);
  EXPECT_FALSE(Parse({"--window"}).hold_at);
  line = Parse({"--verify", "a", "--help", "-"});
  EXPECT_EQ(line.action, CommandLine::kVerify);
  EXPECT_EQ(line.verify, (std::vector<std::string>{"a", "--help", "-"}));

  const struct {
    std::initializer_list<const char*> args;
    const char* problem;
  } refused[] = {
      {{"--seed"}, "--seed needs a number from 0 to 2147483647"},
      {{"--seed", "-1"}, "--seed needs a number from 0 to 2147483647"},
      {{"--seed", "2147483648"}, "--seed needs a number from 0 to 2147483647"},
      {{"--seed", "12x"}, "--seed needs a number from 0 to 2147483647"},
      {{"--seed", "1", "--seed", "2"}, "--seed is given twice"},
      {{"--record"}, "--record needs a file name"},
      {{"--replay", ""}, "--replay needs a file name"},
      {{"--record", "a", "--replay", "b"}, "--record and --replay do not go together"},
      {{"--seed", "1", "--replay", "b"}, "--seed does not go with --replay: the movie has its seed"},
      {{"--record", "a", "--verify", "b"}, "--verify plays no session of its own"},
      {{"--verify"}, "--verify needs at least one movie"},
      {{"--demo", "--window-id", "0x"}, "--window-id needs an X window id"},
      {{"--demo", "-window-id", "12g"}, "-window-id needs an X window id"},
      {{"-root"}, "-root and -window-id go with --demo"},
      {{"--demo", "--verify", "a"},
       "--demo plays its own movies: no --seed, --record, --replay or --verify"},
      {{"--demo", "--window", "-root"}, "--window does not go with -root or -window-id"},
      {{"--hold-at", "0"}, "--hold-at needs a frame number from 1 to 2147483647"},
      {{"--hold-at", "+5"}, "--hold-at needs a frame number from 1 to 2147483647"},
      {{"--hold-at", "5", "--hold-at", "6"}, "--hold-at is given twice"},
      {{"--hold-at", "5", "--verify", "b"}, "--verify plays no session of its own"},
  };
  for (const auto& row : refused) {
    line = Parse(row.args);
    EXPECT_EQ(line.action, CommandLine::kUsageError) << row.problem;
    EXPECT_EQ(line.problem, row.problem);
  }
  std::ostringstream out, err;
  EXPECT_EQ(AnswerCommandLine(Parse({"--seed", "x"}), out, err), kExitUsage);
  EXPECT_EQ(err.str(), "moody: --seed needs a number from 0 to 2147483647\n"
                       "Try 'moody --help' for the options.\n");
}

TEST(CommandLineParse, DemoTakesAScreenSaversWindowInEitherSpelling) {
  EXPECT_EQ(Parse({"--demo", "-window-id", "0x2a0000F"}).window_id, 0x2a0000Ful);
  EXPECT_EQ(Parse({"--window-id", "42", "--demo"}).window_id, 42ul);
  EXPECT_TRUE(Parse({"-root", "--demo"}).root && Parse({"--demo", "--root"}).demo);
}

TEST(CommandLineAnswer, PlayingWritesNothingAndDoesNotEndTheRun) {
  const Answer a = AnswerFor({"--window"});
  EXPECT_EQ(a.status, -1);
  EXPECT_EQ(a.out, "");
  EXPECT_EQ(a.err, "");
}

TEST(CommandLineAnswer, HelpGoesToStdoutAndNamesEveryOptionKeyAndVariable) {
  const Answer a = AnswerFor({"--help"});
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.err, "");
  EXPECT_EQ(a.out.rfind("Usage: moody", 0), 0u) << a.out;
  for (const char* word : {"--window", "--seed", "--record", "--replay", "--verify", "--hold-at",
                           "--help", "--version", "Escape", "DISPLAY", "MOODY_WINDOW", "--demo",
                           "-root", "-window-id", "XSCREENSAVER_WINDOW"})
    EXPECT_NE(a.out.find(word), std::string::npos) << word;
  EXPECT_EQ(a.out.back(), '\n');
}

TEST(CommandLineAnswer, VersionIsOneLineWithADottedNumber) {
  const Answer a = AnswerFor({"--version"});
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.err, "");
  EXPECT_TRUE(std::regex_match(a.out, std::regex("moody [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << a.out;
  EXPECT_EQ(a.out, std::string("moody ") + MoodyVersion() + "\n");
}

TEST(CommandLineAnswer, UnknownArgumentIsNamedOnStderrWithExitStatus2) {
  const Answer a = AnswerFor({"--fullscreen"});
  EXPECT_EQ(a.status, 2);
  EXPECT_EQ(a.out, "");
  // One line naming the argument, then the hint where to look.
  EXPECT_EQ(a.err,
            "moody: unknown argument '--fullscreen'\n"
            "Try 'moody --help' for the options.\n");
}

TEST(CommandLineAnswer, AnAnswerThatCannotBeWrittenFails) {
  for (auto action : {CommandLine::kHelp, CommandLine::kVersion}) {
    std::ostringstream out, err;
    out.setstate(std::ios::badbit);  // as a closed pipe or a full disk leaves it
    CommandLine line;
    line.action = action;
    EXPECT_EQ(AnswerCommandLine(line, out, err), 1);
  }
}

}  // namespace
