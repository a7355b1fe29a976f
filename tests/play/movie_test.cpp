// Movies: a session recorded by the harness plays back in step; a changed frame is caught at the
// first check after it; every kind of damaged file is refused with one line naming the place.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/movie/movie.h"
#include "game/movie/movie_verify.h"
#include "tests/support/play_harness.h"

namespace {

std::string TempFile(const char* name) {
  return std::string(testing::TempDir()) + "/" + name;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void Spit(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Pokes at the title, strolls, keeps still for a while, then presses Escape in stage 2 or later.
std::string RecordSession(const char* name) {
  PlayOptions options;
  options.seed = 4242;
  options.record_movie = TempFile(name);
  Play(options, [](PlayerControl& p) {
    const long f = p.frame();
    if (f < 200 || (f > 840 && f < 890)) p.MoveBy(f % 7 - 3, f % 5 - 2);
    if (f == 150 || f == 151) p.Click();
    if (f == 900) p.PressEscape();
  });
  return options.record_movie;
}

bool Verify(const std::string& text, std::string* where) {
  std::istringstream in(text);
  Movie movie;
  std::string error;
  if (!ReadMovie(in, "movie", &movie, &error)) {
    *where = error;
    return false;
  }
  return VerifyMovie(movie, where);
}

TEST(Movie, ARecordedSessionPlaysBackInStepToItsEnd) {
  const std::string text = Slurp(RecordSession("round_trip.movie"));
  // Start-up presents a frame before the title's first.
  EXPECT_EQ(text.rfind("moody-movie 1\nseed 4242\nstill 1\nin -3 -2 0 0\n", 0), 0u)
      << text.substr(0, 60);
  EXPECT_NE(text.find("\nstill "), std::string::npos) << "still frames are folded";
  EXPECT_NE(text.find(" 1 0\n"), std::string::npos) << "the clicks are kept";
  const size_t end = text.rfind("end ");
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(text.substr(end), "end 902 0\n");  // Escape seen at the next frame's wait

  std::string where;
  EXPECT_TRUE(Verify(text, &where)) << where;
  EXPECT_EQ(where, "in step, 902 frames, ended with status 0");

  // Cut short as a killed recording leaves it: in step to where it stops.
  EXPECT_TRUE(Verify(text.substr(0, text.find("check 600")), &where)) << where;
}

TEST(Movie, AChangedFrameIsOutOfStepAtTheNextCheck) {
  const std::string text = Slurp(RecordSession("changed.movie"));
  // After the title (whose cursor the hand does not steer yet), one frame's motion gets one
  // more pixel across: the next check (every 60 frames, and at hand-overs) sees it.
  std::istringstream in(text);
  std::ostringstream changed;
  std::string line;
  bool past_title = false, changed_one = false;
  long first_check_after = -1;
  while (std::getline(in, line)) {
    if (line.rfind("check ", 0) == 0) {
      if (changed_one && first_check_after < 0) first_check_after = std::stol(line.substr(6));
      past_title = past_title || line.find(" 0 ", 6) == std::string::npos;
    } else if (past_title && !changed_one && line.rfind("in ", 0) == 0) {
      line = "in " + std::to_string(std::stoi(line.substr(3)) + 1) + line.substr(line.find(' ', 3));
      changed_one = true;
    }
    changed << line << '\n';
  }
  ASSERT_GT(first_check_after, 0);
  std::string where;
  EXPECT_FALSE(Verify(changed.str(), &where));
  EXPECT_EQ(where.rfind("out of step at frame " + std::to_string(first_check_after) + " (stage ", 0),
            0u)
      << where;

  // Another seed: the title's first random draw already shows it.
  std::string reseeded = text;
  reseeded.replace(reseeded.find("seed 4242"), 9, "seed 4243");
  EXPECT_FALSE(Verify(reseeded, &where)) << where;
}

TEST(Movie, DamagedFilesAreRefusedWithTheirLine) {
  const std::string head = "moody-movie 1\nseed 7\n";
  const struct {
    std::string text;
    std::string error;
  } rows[] = {
      {"", "movie:1: the file is empty"},
      {"P5\n800 600\n", "movie:1: not a moody movie"},
      {"moody-movie 2\nseed 7\n", "movie:1: movie format version 2 is not one this moody reads (1)"},
      {"moody-movie 1\n", "movie:2: the seed is missing"},
      {"moody-movie 1\nseed -1\n", "movie:2: expected 'seed N' with N from 0 to 2147483647"},
      {"moody-movie 1\nseed 2147483648\n", "movie:2: expected 'seed N' with N from 0 to 2147483647"},
      {"moody-movie 1\nseed x\n", "movie:2: expected 'seed N' with N from 0 to 2147483647"},
      {head + "in 1 2 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in 1 2 0 0 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in 1 2 -1 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in 100001 0 0 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in 99999999999999999999 0 0 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in 0x1 0 0 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "in +1 0 0 0\n", "movie:3: expected 'in DX DY CLICKS ESCAPES'"},
      {head + "still 0\n", "movie:3: expected 'still N' with N from 1 on"},
      {head + "still 1000000001\n", "movie:3: expected 'still N' with N from 1 on"},
      {head + "still 2\ncheck 1 0 0123456789abcdef\n",
       "movie:4: the check names frame 1, but 2 frames come before it"},
      {head + "check 0 75 0123456789abcdef\n", "movie:3: expected 'check FRAME STAGE DIGEST'"},
      {head + "check 0 1 0123456789abcdeg\n", "movie:3: expected 'check FRAME STAGE DIGEST'"},
      {head + "end 0 256\n", "movie:3: expected 'end FRAME STATUS'"},
      {head + "end 0 0\nstill 1\n", "movie:4: nothing may follow the end line"},
      {head + "jump 3\n", "movie:3: not a line of a movie"},
      {head + "\n", "movie:3: not a line of a movie"},
      {head + "still 5", "movie:3: the line is cut off"},
      {head + std::string(201, ' ') + "\n", "movie:3: the line is too long"},
  };
  for (const auto& row : rows) {
    std::istringstream in(row.text);
    Movie movie;
    std::string error;
    EXPECT_FALSE(ReadMovie(in, "movie", &movie, &error)) << row.text;
    EXPECT_EQ(error, "moody: " + row.error) << row.text;
  }

  // Gigabytes of plausible lines are refused once past what any session comes near.
  std::string many = head;
  const std::string padded = "still 1" + std::string(190, ' ') + "\n";
  while (many.size() < (size_t{33} << 20)) many += padded;
  std::istringstream in(many);
  Movie movie;
  std::string error;
  EXPECT_FALSE(ReadMovie(in, "movie", &movie, &error));
  EXPECT_NE(error.find(": the file is too long for a movie"), std::string::npos) << error;
}

TEST(Movie, VerifyAnswersOneLineEachAndTheWorstStatus) {
  const std::string good = RecordSession("good.movie");
  const std::string bad = TempFile("bad.movie");
  std::string text = Slurp(good);
  text.replace(text.find("seed 4242"), 9, "seed 1");
  Spit(bad, text);
  const std::string missing = TempFile("missing.movie");
  std::remove(missing.c_str());

  std::ostringstream out, err;
  EXPECT_EQ(VerifyMovies({good}, out, err), 0);
  EXPECT_EQ(VerifyMovies({good, bad}, out, err), 1);
  EXPECT_EQ(VerifyMovies({bad, missing, good}, out, err), 2);
  EXPECT_EQ(err.str(), "moody: " + missing + ": cannot be read (No such file or directory)\n");
  std::istringstream lines(out.str());
  std::string line;
  std::vector<std::string> seen;
  while (std::getline(lines, line)) seen.push_back(line);
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[1].rfind(good + ": in step", 0), 0u) << seen[1];
  EXPECT_EQ(seen[2].rfind("moody: " + bad + " is out of step at frame ", 0), 0u) << seen[2];
}

}  // namespace
