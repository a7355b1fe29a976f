#pragma once
// The play harness: runs the real game (start-up, stage table, stage code) fast and
// deterministically. Time is virtual (ticks fall due as the virtual clock moves, through
// Flip(-1)'s pacing and the waits, with no real waiting), the seed fixed,
// input comes from a scripted player called once per frame (from the flip hook), and drawing goes
// to a null, recording or real OpenGL driver. The program's end returns control to the test.
#include <functional>
#include <string>
#include <vector>

#include "game/state.h"

class TScriptedSystemDriver;
class TRecordingQuill2DDriver;

enum class DrawMode { Null, Recording, OpenGL };

struct Handover {
  int from;
  int to;
  int at_stage_frame;  // stage_frame of the stage handing over when it called SetStage (for a
                       // stage written directly: the stage_frame at the end of that pass)
  long frame;          // frames the stage loops had presented when SetStage was called
  int loop = 0;        // the stage whose code was running (its entry block or loop)
};

// What the player sees and does once per frame (after the frame's decisions, before it is
// presented). Input takes effect at the next pump, as a real mouse's would.
class PlayerControl {
 public:
  const GameState& state() const { return g; }
  long frame() const { return _frame; }  // frames presented so far
  // Pointer motion from where the pointer is (the centre, once the cursor code has re-centred
  // it); the pointer stays inside the 800x600 window, as the game's pointer grab keeps it.
  void MoveBy(int dx, int dy);
  void Press(int button = 1);
  void Release(int button = 1);
  void Click(int button = 1) {
    Press(button);
    Release(button);
  }
  void PressEscape();
  // Plans the pointer motions that bring the cursor tip (cursor_x - 6, cursor_y - 10) onto
  // (x, y) over the next frames at the given cursor speed; returns true once it is there.
  bool SteerTipTo(int x, int y, float speed = 0.8f);

  TScriptedSystemDriver* driver = nullptr;
  long _frame = 0;
};

using Player = std::function<void(PlayerControl&)>;

struct PlayOptions {
  int seed = 12345;
  DrawMode draw = DrawMode::Null;
  std::string display;       // for DrawMode::OpenGL: the X display to open (":N")
  long max_frames = 200000;  // safety stop: the run ends with ended = false
  // Runs after start-up, before the stage loops: put the game in a state (e.g. g.stage = 3).
  std::function<void()> setup;
  // Runs instead of the stage table when set: a test's own stage code on the started game.
  std::function<void()> body;
  // When set, the session is written to this file as a movie (from the title: no setup).
  std::string record_movie;
};

struct PlayResult {
  bool ended = false;  // the program ended (Escape, closing card, sequence ran out)
  int exit_status = -1;
  int first_stage = 0;  // the stage the loops began with (after setup)
  long frames = 0;      // frames presented
  std::vector<Handover> handovers;
  // Stages visited in order, starting with the first one; of two SetStage calls in one pass of
  // the same stage's code only the later counts.
  std::vector<int> stages() const;
};

PlayResult Play(const PlayOptions& options, Player player);

// The recording driver of the last run made with DrawMode::Recording (valid until the next run).
TRecordingQuill2DDriver* LastRecordingDriver();
