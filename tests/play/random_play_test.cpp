// Random play: hundreds of games from the title, each played by a seeded random hand that
// switches between moves of every size, clicks, pokes at the face, stillness, jerks, chasing the
// face and keeping away. Every game must end by itself, no stage may stay on longer than it ever
// legitimately can, and the story may only move forward through stages that exist.
//
// A failing game replays exactly: PlayOptions.seed and the hand's own generator both take the
// game's seed (see PlayRandomGame).
//
// MOODY_SOAK_GAMES=N plays N games instead of the default count, MOODY_SOAK_FIRST_SEED=S starts
// from another seed (scripts/soak.sh runs long soaks this way).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "display/graphics.h"
#include "game/cursor.h"
#include "game/stage_machine.h"
#include "tests/support/play_harness.h"
#include "tests/support/random_hand.h"

#if defined(__SANITIZE_ADDRESS__)
#define MOODY_RANDOM_PLAY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOODY_RANDOM_PLAY_SANITIZED 1
#endif
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// How long each stage may stay on screen, in frames presented while it is the current stage
// (for a stage entered at stage_frame 0 that is the stage_frame of its last hand-over). Stages
// 34 and 35 carry on stage 33's frame count, so their stay is the stretch after 33's frame.

// The stage waits on the player with no time limit; the random hand turns to the ways out
// (stillness, a poke, chasing the face) after kPatience frames, well within this.
constexpr int kWaitsOnPlayer = 8000;
// The frames a hand-over may differ from the stage's own count (entry before or after the
// first WaitFrame, the pass that decides).
constexpr int kSlack = 2;

struct StageLimit {
  int stage;
  int max_frames;
  const char* why;
};

const std::vector<StageLimit>& StageLimits() {
  static const std::vector<StageLimit> limits = {
      {0, 810, "title: hands on to stage 2 at 810 at the latest"},
      {1, 370, "stage 2 at 370"},
      {2, 400, "stage 3 at 400"},
      {3, 305, "stage 4 at 305"},
      {4, kWaitsOnPlayer, "waits for 200 calm frames (or a jerk)"},
      {5, 215, "stage 6 at 215"},
      // Touched by 121 at the latest, the top of its hop 15 frames later at the latest, then a
      // fall from y 45 with a hop of at least 100 (a touch in the first hop of 60 ends sooner).
      {6, 170, "untouched: stage 7 at 121; touched: until the face has fallen below y 450"},
      {7, 140, "stage 8 at 140"},
      {8, 120, "stage 12 at 120"},
      {9, 150, "stage 10 or 12 at 150"},
      {10, 85, "stage 12 at 85"},
      {11, 101, "stage 12 once stage_frame > 100"},
      {12, kWaitsOnPlayer, "waits for a jerk, a poke or the face creeping up to the cursor"},
      {13, 140, "stage 14 at 120 without a move, else 20 frames after the first clear move"},
      {14, kWaitsOnPlayer, "follow-the-leader: turns last as long as the player keeps moving"},
      {15, 180, "stage 16 at 180"},
      {16, 200, "stage 43 at 200"},
      {17, 350, "stage 28 at 350"},
      {18, 300, "stage 30 at 300"},
      {19, 300, "stage 20 at 300"},
      {20, 102, "stage 25 at 102"},
      {21, 50, "stage 22 at 50"},
      {22, 50, "lift, pause, fall, bounce, sink until face_y > 645 (47 from the top edge)"},
      {23, 265, "stage 24 at 265"},
      {24, 200, "stage 26 at 200"},
      {25, 160, "stage 27 at 160"},
      {26, 90, "stage 43 at 90"},
      {27, kWaitsOnPlayer, "no time limit: the face closing in, a poke or 4500 px of travel"},
      {28, kWaitsOnPlayer, "no time limit: a catch or a poke"},
      {29, 160, "stage 30 at 160"},
      {30, 416, "charge_frame 200 at the latest, a strike by 215 or a miss at 216; bump + 201"},
      {31, kWaitsOnPlayer, "no time limit before its strike; then bump_frame + 250"},
      // Two strikes at most 800 frames apart, then each strike restarts 430 frames, the sixth
      // ends the fight 13 frames later: 800 + 800 + 4 * 430 + 13.
      {32, 3333, "the fight: bounded by the strikes"},
      {33, 800, "stage 35 at 800 (a poke from 483 on: stage 34)"},
      {34, 600, "wake_frame (100 to 250 frames after the poke) + 350, on stage 33's clock"},
      {35, 350, "1150, counting on from stage 33's 800"},
      {36, 140, "stage 37 at 140"},
      {37, 350, "stage 38 at 350"},
      {38, 450, "stage 74 at 450"},
      {39, 80, "stage 40 at 80"},
      {40, 360, "stage 41 at 360"},
      {41, 450, "stage 74 at 450"},
      // From x 400 at one pixel a frame from frame 100, then 391 frames after it passed x 900.
      {42, 991, "its timer after the face has left the screen"},
      {43, 600, "stage 46 at 600 at the latest"},
      {44, 750, "always runs to 750"},
      {45, 240, "stage 46 at 240"},
      {46, 440, "stage 48 at 440"},
      {47, 280, "stage 48 at 280 (at 180 for a face woken from sleep)"},
      {48, 491, "stage 74 at 491"},
      {49, kWaitsOnPlayer, "no time limit: 400 frames of motion or 470 still"},
      {50, kWaitsOnPlayer, "no exit before the third hit; then 848 frames to the closing card"},
      {51, 530, "stage 74 at 530"},
      {74, 100, "the program ends at 100"},
  };
  return limits;
}

int StageLimitFor(int stage) {
  for (const StageLimit& limit : StageLimits()) {
    if (limit.stage == stage) return limit.max_frames;
  }
  return 0;
}

bool InStageTable(int stage) {
  for (const StageEntry& entry : StageTable()) {
    if (entry.number == stage) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// A stage that never presents another frame (a loop without WaitFrame) would hang the suite with
// no word of which game did it: this fuse names the game and aborts.

class HangFuse {
 public:
  HangFuse() : _thread([this] { Watch(); }) {}
  ~HangFuse() {
    {
      std::lock_guard<std::mutex> lock(_mutex);
      _stop = true;
    }
    _wake.notify_all();
    _thread.join();
  }
  void Beat(int seed, int stage) {
    _seed = seed;
    _stage = stage;
    ++_beats;
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(_mutex);
    long last = -1;
    for (;;) {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      if (_wake.wait_until(lock, deadline, [this] { return _stop; })) break;
      const long beats = _beats;
      if (beats == last) {
        std::fprintf(stderr,
                     "random play: the game with seed %d presented no frame for a minute, in "
                     "stage %d\n",
                     _seed.load(), _stage.load());
        std::abort();
      }
      last = beats;
    }
  }

  std::atomic<long> _beats{0};
  std::atomic<int> _seed{0};
  std::atomic<int> _stage{0};
  std::mutex _mutex;
  std::condition_variable _wake;
  bool _stop = false;
  std::thread _thread;
};

// ---------------------------------------------------------------------------------------------
// One game and what it showed.

constexpr long kGameFrameCap = 60000;

// The stage loops a game walks through, in order: the game's own table, or a test's.
struct Stage {
  int number;
  std::function<void()> run;
};
using Stages = std::vector<Stage>;

Stages TheGamesStages() {
  Stages stages;
  for (const StageEntry& entry : StageTable()) stages.push_back({entry.number, entry.run});
  return stages;
}

struct GameReport {
  int seed = 0;
  PlayResult result;
  std::vector<int> stages;                 // stages whose loops ran, in order
  std::vector<long> stays;                 // frames each of them presented
  std::vector<std::pair<int, int>> edges;  // hand-overs between them
  int unbuilt_end = -1;                    // the story ran into this stage, which has no loop yet
  std::vector<std::string> problems;
};

// Plays one game through `stages` with `player` and checks it. The seed names the game in every
// problem.
GameReport CheckGame(int seed, const Stages& stages, Player player, long max_frames = kGameFrameCap,
                     HangFuse* fuse = nullptr) {
  GameReport report;
  report.seed = seed;
  PlayOptions options;
  options.seed = seed;
  options.max_frames = max_frames;

  long presented = 0;
  std::vector<long> entered;  // frames presented when each stage's loop began
  bool overstayed = false;
  auto problem = [&](const std::string& what) {
    std::ostringstream os;
    os << "seed " << seed << ": " << what;
    report.problems.push_back(os.str());
  };

  // Walks the stages as the program body does, noting which loops run. (Two hand-overs in one
  // presented frame can be one stage overriding its own choice, or a stage handing over in a
  // pass that presents nothing and the next one handing over in its first: only this tells.)
  options.body = [&] {
    for (const Stage& stage : stages) {
      if (g.stage != stage.number) continue;
      report.stages.push_back(stage.number);
      entered.push_back(presented);
      stage.run();
    }
  };

  report.result = Play(options, [&](PlayerControl& p) {
    ++presented;
    const int stage = report.stages.empty() ? -1 : report.stages.back();
    if (fuse) fuse->Beat(seed, stage);
    if (overstayed) return p.PressEscape();
    const long in_stage = presented - entered.back();
    const int limit = StageLimitFor(stage);
    if (in_stage > limit + kSlack) {
      std::ostringstream os;
      os << "stage " << stage << " still on after " << in_stage << " frames (longest stay " << limit
         << "), stage_frame " << p.state().stage_frame << ", game frame " << p.frame();
      problem(os.str());
      overstayed = true;
      return p.PressEscape();  // cut the game short: the rest says nothing new
    }
    if (player) player(p);
  });

  const PlayResult& r = report.result;
  for (size_t i = 0; i < report.stages.size(); ++i) {
    report.stays.push_back((i + 1 < entered.size() ? entered[i + 1] : presented) - entered[i]);
    if (i > 0) report.edges.push_back({report.stages[i - 1], report.stages[i]});
  }
  for (const Handover& h : r.handovers) {
    if (!InStageTable(h.to)) {
      problem("stage " + std::to_string(h.from) + " handed over to stage " + std::to_string(h.to) +
              ", which is not in the stage table");
    }
  }
  if (report.stages.empty()) {
    problem("no stage ran");
    return report;
  }
  const int last = report.stages.back();
  if (!r.ended) {
    problem("cut by the frame cap (" + std::to_string(r.frames) + " frames) in stage " +
            std::to_string(last) + " at stage_frame " + std::to_string(g.stage_frame));
  } else if (r.exit_status != 0) {
    problem("ended with exit status " + std::to_string(r.exit_status) + " in stage " +
            std::to_string(last));
  } else if (!overstayed && last != 74) {
    if (g.stage != last) {
      // Stage loops run once, in order: a hand-over to a stage already passed falls through to
      // the program's end.
      if (InStageTable(g.stage)) {
        problem("stage " + std::to_string(last) + " handed over backwards, to stage " +
                std::to_string(g.stage) + ", and the program ended");
      }
    } else if (report.stays.back() > 0) {
      problem("stage " + std::to_string(last) + " let the program end after " +
              std::to_string(report.stays.back()) + " frames, not at the closing card");
    } else {
      report.unbuilt_end = last;  // handed over to a stage without a loop: not written yet
    }
  }
  return report;
}

GameReport PlayRandomGame(int seed, HangFuse* fuse = nullptr) {
  RandomHand hand(static_cast<unsigned>(seed));
  return CheckGame(seed, TheGamesStages(), std::ref(hand), kGameFrameCap, fuse);
}

int EnvInt(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

int GameCount() {
#ifdef MOODY_RANDOM_PLAY_SANITIZED
  constexpr int kDefault = 20;
#else
  constexpr int kDefault = 200;
#endif
  if (std::getenv("MOODY_SANITIZE_BUILD") != nullptr) return EnvInt("MOODY_SOAK_GAMES", 20);
  return EnvInt("MOODY_SOAK_GAMES", kDefault);
}

// A stage loop of the test's making: presents frames until `leave_at`, then hands over to `next`.
std::function<void()> FakeStage(int stage, int leave_at, int next) {
  return [=] {
    while (g.stage == stage) {
      WaitFrame();
      if (g.stage_frame == leave_at) SetStage(next);
      Flip(-1);
    }
  };
}

// Starts the game in `stage` (the title not played).
std::function<void()> EnterAt(int stage) {
  return [=] { g.stage = stage; };
}

}  // namespace

TEST(RandomPlay, GamesFromTheTitle) {
  const int games = GameCount();
  const int first_seed = EnvInt("MOODY_SOAK_FIRST_SEED", 1);
  HangFuse fuse;

  std::map<int, int> stage_visits;
  std::map<std::pair<int, int>, int> edge_counts;
  std::map<int, long> longest_stay;
  std::map<int, int> unbuilt_ends;
  std::vector<std::string> problems;
  std::set<int> failing_seeds;
  int closing_cards = 0;
  long frames = 0, longest_game = 0;

  const auto started = std::chrono::steady_clock::now();
  const std::clock_t cpu_started = std::clock();
  for (int i = 0; i < games; ++i) {
    const int seed = first_seed + i;
    GameReport report = PlayRandomGame(seed, &fuse);
    frames += report.result.frames;
    longest_game = std::max(longest_game, report.result.frames);
    for (int stage : report.stages) ++stage_visits[stage];
    for (const auto& edge : report.edges) ++edge_counts[edge];
    for (size_t k = 0; k < report.stages.size(); ++k) {
      longest_stay[report.stages[k]] = std::max(longest_stay[report.stages[k]], report.stays[k]);
    }
    if (report.unbuilt_end >= 0) ++unbuilt_ends[report.unbuilt_end];
    if (report.result.ended && report.stages.back() == 74 && report.problems.empty()) {
      ++closing_cards;
    }
    if (!report.problems.empty()) failing_seeds.insert(seed);
    problems.insert(problems.end(), report.problems.begin(), report.problems.end());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const double cpu_seconds = static_cast<double>(std::clock() - cpu_started) / CLOCKS_PER_SEC;

  std::ostringstream out;
  out << "random play: " << games << " games (seeds " << first_seed << ".." << first_seed + games - 1
      << "), " << frames << " frames, longest game " << longest_game << " frames, " << seconds
      << " s (" << cpu_seconds << " s of processor time)\n";
  out << "  closing card reached: " << closing_cards << "\n";
  out << "  ran into unbuilt stages:";
  for (const auto& [stage, count] : unbuilt_ends) out << " " << stage << "x" << count;
  out << "\n  stages reached (" << stage_visits.size() << "), games / longest stay in frames:\n   ";
  for (const auto& [stage, count] : stage_visits) {
    out << " " << stage << ":" << count << "/" << longest_stay[stage];
  }
  out << "\n  hand-overs taken (" << edge_counts.size() << "):\n   ";
  for (const auto& [edge, count] : edge_counts) {
    out << " " << edge.first << "->" << edge.second << "x" << count;
  }
  out << "\n";
  std::printf("%s", out.str().c_str());

  for (const std::string& p : problems) ADD_FAILURE() << p;
  EXPECT_TRUE(failing_seeds.empty())
      << failing_seeds.size() << " of " << games
      << " games failed; replay one with PlayRandomGame(seed) (PlayOptions.seed = seed, "
         "RandomHand(seed))";
}

// MOODY_REPLAY_SEED=S replays one game and prints its hand-overs.
TEST(RandomPlay, ReplayOneGame) {
  const int seed = EnvInt("MOODY_REPLAY_SEED", -1);
  if (seed < 0) GTEST_SKIP() << "set MOODY_REPLAY_SEED to replay a game";
  GameReport report = PlayRandomGame(seed);
  std::printf("seed %d: %ld frames, ended %d, exit status %d\n", seed, report.result.frames,
              report.result.ended, report.result.exit_status);
  for (const Handover& h : report.result.handovers) {
    std::printf("  %d->%d at stage_frame %d, game frame %ld\n", h.from, h.to, h.at_stage_frame,
                h.frame);
  }
  for (const std::string& p : report.problems) ADD_FAILURE() << p;
}

// The checks themselves, on stage code of the test's own making.

TEST(RandomPlayChecks, AStageThatOverstaysIsNamedWithTheSeed) {
  // Stage 8 ends at 120 at the latest.
  GameReport report = CheckGame(77, {{0, EnterAt(8)}, {8, FakeStage(8, 100000, 12)}}, nullptr);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_NE(report.problems[0].find("seed 77: stage 8 still on after 123 frames"), std::string::npos)
      << report.problems[0];
  // Cut short by Escape at once, not played to the cap.
  EXPECT_EQ(report.result.frames, 123);
}

TEST(RandomPlayChecks, AStageWithinItsLongestStayPassesAndAnUnbuiltStageEndsTheStory) {
  GameReport report = CheckGame(
      78, {{0, EnterAt(8)}, {8, FakeStage(8, 120, 12)}, {12, [] {}}}, nullptr);
  EXPECT_TRUE(report.problems.empty()) << report.problems[0];
  EXPECT_EQ(report.unbuilt_end, 12);
  EXPECT_EQ(report.stages, (std::vector<int>{0, 8, 12}));
  EXPECT_EQ(report.stays, (std::vector<long>{0, 120, 0}));
}

TEST(RandomPlayChecks, AStageHandingOverInAPassThatPresentsNothingStillCounts) {
  // Stage 14 leaves before drawing anything, 15 leaves in its first pass: both ran.
  auto leave_at_once = [] {
    while (g.stage == 14) SetStage(15);
  };
  GameReport report = CheckGame(
      79, {{0, EnterAt(14)}, {14, leave_at_once}, {15, FakeStage(15, 1, 19)}, {19, [] {}}},
      nullptr);
  EXPECT_EQ(report.edges, (std::vector<std::pair<int, int>>{{0, 14}, {14, 15}, {15, 19}}));
  EXPECT_EQ(report.stays, (std::vector<long>{0, 0, 1, 0}));
}

TEST(RandomPlayChecks, BackwardsAndUnknownHandOversAreFaults) {
  GameReport report =
      CheckGame(5, {{0, EnterAt(20)}, {5, [] {}}, {20, FakeStage(20, 30, 5)}}, nullptr);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_NE(report.problems[0].find("stage 20 handed over backwards, to stage 5"), std::string::npos)
      << report.problems[0];

  report = CheckGame(6, {{0, EnterAt(20)}, {20, FakeStage(20, 30, 60)}}, nullptr);
  ASSERT_FALSE(report.problems.empty());
  EXPECT_NE(report.problems[0].find("stage 20 handed over to stage 60, which is not in the stage table"),
            std::string::npos)
      << report.problems[0];
}

TEST(RandomPlayChecks, AGameCutByTheCapNamesWhereItWasStuck) {
  // Stage 49 waits on the player: no overstay within 500 frames.
  GameReport report =
      CheckGame(9, {{0, EnterAt(49)}, {49, FakeStage(49, 100000, 50)}}, nullptr, 500);
  ASSERT_EQ(report.problems.size(), 1u);
  EXPECT_NE(report.problems[0].find("seed 9: cut by the frame cap (500 frames) in stage 49"),
            std::string::npos)
      << report.problems[0];
}

TEST(RandomPlayChecks, EveryStageOfTheTableHasALongestStay) {
  for (const StageEntry& entry : StageTable()) {
    EXPECT_GT(StageLimitFor(entry.number), 0) << "stage " << entry.number;
  }
}

TEST(RandomPlayChecks, AGameReplaysFromItsSeed) {
  GameReport a = PlayRandomGame(4242);
  GameReport b = PlayRandomGame(4242);
  EXPECT_EQ(a.result.frames, b.result.frames);
  EXPECT_EQ(a.edges, b.edges);
}
