#pragma once
// Journey tables: each row is a player script and the path of hand-overs it must take, with the
// stage frames at which they happen. Rows live in one file per group of stages and register
// themselves; one test program plays every row and checks that together they take every edge
// of the story.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/play_harness.h"

// What the hand does while a stage runs; `f` is the stage_frame just decided (the player is
// called after the frame's decisions, before it is presented).
using StageScript = std::function<void(PlayerControl&, int f)>;

constexpr int kAnyFrame = -1;

// One hand-over: `at` is the handing-over stage's stage_frame when it chose the next stage
// (kAnyFrame: not checked, for hand-overs that depend on where the player happened to be).
struct Leg {
  int from;
  int to;
  int at = kAnyFrame;
};

struct Journey {
  std::string name = {};  // letters, digits and underscores: it names the test
  // The hand-overs, in order. Of two SetStage calls in one pass only the later stage counts; the
  // leg then has the first one's frame.
  std::vector<Leg> legs = {};
  // The hand's script per stage; a stage without one is played with the mouse left alone.
  std::map<int, StageScript> hand = {};
  // Where the run starts: nothing means the title; otherwise set g.stage (and g.stage_frame,
  // face, cursor and scene values as the stage that hands over would have left them).
  std::function<void()> setup = {};
  int seed = 12345;
  long max_frames = 30000;
  // Further checks on the finished run, if any.
  std::function<void(const PlayResult&)> check = {};
};

// static JourneyRows rows({Journey{...}, ...}); in a rows file adds them to the table.
struct JourneyRows {
  explicit JourneyRows(std::vector<Journey> rows);
};
const std::vector<Journey>& AllJourneys();

// Plays a row. The run ends by itself (the closing card, or a hand-over to a stage that does not
// exist) or with Escape as soon as the last leg's stage has been entered (a last leg to the
// closing card is played to the program's own end).
// With `record_movie`, the run is written there as a movie (rows that start at the title).
PlayResult PlayJourney(const Journey& journey, const std::string& record_movie = "");

// The hand-overs a run took, with the overridden SetStage calls of a pass folded in.
std::vector<Leg> TakenLegs(const PlayResult& result);

// Common setups and hands.
// `stage` entered at stage_frame 0, with the face and the cursor where the stage handing over
// leaves them.
void EnterStageWith(int stage, int face_x, int face_y, int cursor_x, int cursor_y);
void PokeFace(PlayerControl& p);     // steers onto the face centre and clicks once there
void KeepAway(PlayerControl& p);     // parks the tip in the bottom-left corner (20, 560)
