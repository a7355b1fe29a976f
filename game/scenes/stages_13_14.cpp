// Stages 13 and 14: follow-the-leader. The face waits for the player's first clear stroke (13),
// copies it, then records the player's strokes and replays them, one more each round (14).
// Both move the cursor themselves, damping the weaker axis of every stroke.
#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/move_recorder.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr MoveThresholds kLeaderThresholds{4, 2};
constexpr int kReplayStepFrames = 40;  // 80 pixels at 2 a frame
constexpr int kMaxLevel = 5;

void DrawWaitingFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  DrawBlink(250, 400);
  SetColor(0, 0, 0);
  DrawLine(33, 68, 63, 67, 1);  // a slanting mouth
  GrabFaceCanvas();
  DrawFaceImage(g.face_x, g.face_y);
}

// The direction of the stroke stage 13 saw; an exact diagonal gives none.
int FirstMove(int dx, int dy) {
  if (dx >= 1 && Abs(dy) < dx) return kMoveRight;
  if (dy >= 1 && Abs(dx) < dy) return kMoveDown;
  if (dx < 0 && Abs(dy) < -dx) return kMoveLeft;
  if (dy < 0 && Abs(dx) < -dy) return kMoveUp;
  return kMoveNone;
}

// Two pixels along the move, looking where it goes; at a screen margin the face jitters there.
void ReplayStep(int move) {
  switch (move) {
    case kMoveRight:
      g.look_x = 4, g.look_y = 0;
      g.face_x += 2;
      if (g.face_x > 754) g.face_x = 754 + RandomInt(0, 2);
      break;
    case kMoveDown:
      g.look_x = 0, g.look_y = 4;
      g.face_y += 2;
      if (g.face_y > 554) g.face_y = 554 + RandomInt(0, 2);
      break;
    case kMoveLeft:
      g.look_x = -4, g.look_y = 0;
      g.face_x -= 2;
      if (g.face_x < 46) g.face_x = 46 - RandomInt(0, 2);
      break;
    case kMoveUp:
      g.look_x = 0, g.look_y = -4;
      g.face_y -= 2;
      if (g.face_y < 46) g.face_y = 46 - RandomInt(0, 2);
      break;
    default:
      break;
  }
}

// A sideways stroke of more than 5 pixels in one frame starts the move afresh.
bool Swerving(int move, int step_dx, int step_dy) {
  const bool horizontal = move == kMoveRight || move == kMoveLeft;
  const bool vertical = move == kMoveDown || move == kMoveUp;
  return (horizontal && Abs(step_dy) > 5) || (vertical && Abs(step_dx) > 5);
}

}  // namespace

void RunStage13() {
  int& step_dx = g.scene_var_1;
  int& step_dy = g.scene_var_2;
  int& move_origin_x = g.scene_var_3;
  int& move_origin_y = g.scene_var_4;
  int& probe_x = g.scene_var_5;
  int& probe_y = g.scene_var_6;
  int& probe_due = g.stage_scratch_a;

  while (g.stage == 13) {
    if (g.stage_frame == 0) {
      move_origin_x = probe_x = g.cursor_x;
      move_origin_y = probe_y = g.cursor_y;
    }
    DrawWaitingFace();
    ReadPointerStep(step_dx, step_dy);
    DampWeakerAxis(step_dx, step_dy);
    StepCursor(step_dx, step_dy, kCursorSpeed, kCursorSpeed);
    LookAtCursor();
    g.mouse_clicked = MouseHits(1);
    WaitFrame();

    // Only a stroke to the right or downward counts.
    if (g.stage_frame > 5 && (step_dx > 4 || step_dy > 4) && probe_due == -1) {
      probe_x = g.cursor_x;
      probe_y = g.cursor_y;
      probe_due = g.stage_frame + 20;
    }
    if (probe_due == g.stage_frame) {
      if (Abs(probe_x - move_origin_x) < 7 && Abs(probe_y - move_origin_y) < 7) {
        probe_x = g.cursor_x;
        probe_y = g.cursor_y;
      }
      SetStage(14);
    }
    if (g.stage_frame == 120 && probe_due == -1) SetStage(14);
    Flip(-1);
  }
}

void RunStage14() {
  int& step_dx = g.scene_var_1;
  int& step_dy = g.scene_var_2;
  int& move_origin_x = g.scene_var_3;
  int& move_origin_y = g.scene_var_4;
  int& turn_frame = g.stage_scratch_a;
  int& replay_frame = g.stage_scratch_b;  // -1 while it is the player's turn
  int(&moves)[kMoveSlots] = g.moves;
  int& move_index = g.move_index;
  int& poke_count = g.poke_count;
  int move_level = 0;
  int replay_count = 0;

  if (g.stage == 14) {
    for (int& move : moves) move = kMoveNone;
    move_index = 0;
    poke_count = 0;
    // The face begins by copying stage 13's stroke; one too small to tell sends it to stage 15
    // before anything is drawn.
    const int dx = g.scene_var_5 - move_origin_x;
    const int dy = g.scene_var_6 - move_origin_y;
    moves[0] = FirstMove(dx, dy);
    replay_frame = 0;
    if (Abs(dx) < 4 && Abs(dy) < 4) SetStage(15);
  }

  while (g.stage == 14) {
    DrawWaitingFace();

    if (replay_frame >= 0) {
      const int move = moves[move_index];
      if (move == kMoveNone) {  // the replay is over: the player's turn
        replay_frame = -1;
        turn_frame = g.stage_frame;
        if (move_index > move_level) ++move_level;
        for (int i = 0; i <= move_level; ++i) moves[i] = kMoveNone;
        move_origin_x = g.cursor_x;
        move_origin_y = g.cursor_y;
        move_index = 0;
        ++replay_count;
      } else {
        if (g.stage_frame == replay_frame + kReplayStepFrames) {
          replay_frame = g.stage_frame;
          ++move_index;
        }
        ReplayStep(move);
      }
    }

    ReadPointerStep(step_dx, step_dy);
    DampWeakerAxis(step_dx, step_dy);
    const bool players_turn = replay_frame == -1;
    if (players_turn) {
      const int move = moves[move_index];
      if (BackingOff(move, step_dx, step_dy) || Swerving(move, step_dx, step_dy)) {
        move_origin_x = g.cursor_x;
        move_origin_y = g.cursor_y;
      }
    }
    StepCursor(step_dx, step_dy, kCursorSpeed, kCursorSpeed);
    if (players_turn) LookAtCursor();
    g.mouse_clicked = MouseHits(1);

    if ((Abs(step_dx) > 1 || Abs(step_dy) > 1) && players_turn) {
      const int ox = g.cursor_x - move_origin_x;
      const int oy = g.cursor_y - move_origin_y;
      if (RecordMove(moves, move_index, ox, oy, kLeaderThresholds)) turn_frame = g.stage_frame;
    }
    WaitFrame();

    if (replay_frame == -1 && moves[0] == kMoveNone && g.stage_frame >= turn_frame + 80) {
      SetStage(replay_count <= 1 ? 15 : 17);  // the player did not play along
    } else if (replay_frame == -1 &&
               (move_index == move_level ||
                (g.stage_frame == turn_frame + 60 && moves[0] > kMoveNone))) {
      replay_frame = g.stage_frame;  // the turn is over: replay from the next frame
      move_index = 0;
    } else if (CursorDistance() < 45 && g.mouse_clicked != 0) {
      ++poke_count;
    } else if ((replay_count >= 7 && move_level >= 3) || move_level == kMaxLevel) {
      SetStage(18);
    } else if (replay_count >= 8 && move_level <= 2) {
      SetStage(17);
    }
    if (poke_count >= 4) SetStage(45);
    Flip(-1);
  }
}
