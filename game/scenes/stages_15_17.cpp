// Stages 15 to 17, after follow-the-leader: the face that was not played with watches and creeps
// up on the cursor (15), then sulks under heavy lids and edges away (16); the face whose game was
// dropped jumps twice and waits for the player to nod with the cursor (17).
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
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
constexpr int kPokeRadius = 45;
constexpr int kBlinkLo = 50, kBlinkHi = 260;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }
void SetLightOlive() { SetColor(169, 161, 44); }

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

void BeginFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
}

// --- Stage 15 -----------------------------------------------------------------------------

constexpr int kCreepStart = 35;    // the face starts creeping on the decision after this frame
constexpr int kCreepRenewal = 12;  // frames between fresh looks at where the cursor is
constexpr int kNoticeRadius = 60;

void DrawWatchingFace(int f) {
  BeginFace();
  DrawStandardEyes();
  if (f < kCreepStart) {  // still a little sleepy
    SetFaceColor();
    DrawRect(10, g.look_y / 3 + 25, 70, 4);
  }
  DrawBlink(kBlinkLo, kBlinkHi);
  SetColor(0, 0, 0);
  if (f > 41) {
    DrawLine(32, 66, 62, 66);
  } else {
    DrawLine(31, 66, 63, 65);
  }
  GrabFaceCanvas();
}

// --- Stage 16 -----------------------------------------------------------------------------

constexpr int kSulkEnd = 200;
constexpr int kEdgeAwayFrom = 120;

void DrawSulkingFace(int f) {
  BeginFace();
  DrawEyes(25, g.look_x, g.look_y);  // the whites stay put

  // Heavy lids; looking up lifts them a little.
  SetFaceColor();
  DrawRect(10, g.look_y < 0 ? g.look_y / 2 + 25 : 25, 70, 11);
  SetLightOlive();
  DrawLine(40, 29, 40, 32);
  DrawLine(10, 31, 40, 31);
  DrawLine(50, 29, 50, 32);
  DrawLine(50, 31, 80, 31);
  DrawBlink(kBlinkLo, kBlinkHi);

  SetColor(0, 0, 0);
  DrawLine(30, 70, 60, 70);
  if (f > 15) {
    DrawLine(30, 69, 30, 71);
    DrawLine(60, 69, 60, 71);
  }
  GrabFaceCanvas();
}

// Away from (cursor_x + 6, cursor_y + 10): both tests run, so a face exactly there moves on.
int EdgeAway(int face, int from, int most, int lo, int hi) {
  if (face < from) face -= RandomInt(0, most);
  if (face >= from) face += RandomInt(0, most);
  if (face > hi) face = hi;
  if (face < lo) face = lo;
  return face;
}

// --- Stage 17 -----------------------------------------------------------------------------

constexpr float kNodSpeedX = 0.4f;
constexpr float kNodSpeedY = 0.85f;
constexpr int kRecordFrom = 110;  // moves count from the frame drawn after this one
constexpr int kNodTimeout = 350;
constexpr int kRestlessMoves = 6;
constexpr int kPokesToFlee = 4;
// Horizontal strokes must lead the vertical drift by more than 5; vertical ones need no lead.
constexpr MoveThresholds kNodThresholds{.horizontal_lead = 5, .vertical_lead = 0};

void DrawExpectantFace() {
  BeginFace();
  DrawStandardEyes();
  DrawBlink(kBlinkLo, kBlinkHi);
  SetColor(60, 57, 16);
  DrawOval(40, 69, 8, 8);
  SetLightOlive();
  DrawLine(42, 76, 45, 76);
  GrabFaceCanvas();
  DrawFaceImage(g.face_x, g.face_y);
}

// Height on a jump whose top, `height` above the ground, comes at frame `top`; `spread` is the
// square of the frames from take-off to the top.
int JumpY(int ground, int height, int f, int top, int spread) {
  return TruncToInt((ground - height) + Pow(f - top, 2) * height / spread);
}

// Up, down, up, down among the first five entries, each found after the one before. The running
// index is the caller's vertical travel: it is left at 5 plus the first three entries found, and
// the next frames go on adding travel from there.
bool FindNod(const int32_t (&moves)[kMoveSlots], int& index) {
  constexpr int kSearched = 5;
  constexpr MoveDirection kNod[] = {kMoveUp, kMoveDown, kMoveUp, kMoveDown};
  int found = 0;
  for (index = 0; index < kSearched && found < 4; ++index) {
    if (moves[index] == kNod[found]) ++found;
  }
  index = kSearched + (found < 3 ? found : 3);
  return found == 4;
}

}  // namespace

void RunStage15() {
  int& creep_dx = g.scene_var_1;
  int& creep_dy = g.scene_var_2;
  while (g.stage == 15) {
    DrawWatchingFace(g.stage_frame);
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    const int f = g.stage_frame;
    if (f == 180) {
      SetStage(16);
    } else if (CursorDistance() < kNoticeRadius) {
      SetStage(19);
    } else if (f > kCreepStart) {
      if (f % kCreepRenewal == 0) {
        creep_dx = (g.cursor_x - g.face_x) / 30;
        creep_dy = (g.cursor_y - g.face_y) / 30;
      }
      g.face_x += creep_dx;
      g.face_y += creep_dy;
    }
    Flip(-1);
  }
}

void RunStage16() {
  while (g.stage == 16) {
    DrawSulkingFace(g.stage_frame);
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame == kSulkEnd) {
      SetStage(43);
    } else if (g.stage_frame > kEdgeAwayFrom) {
      // A duller look: only the gaze the next canvas draws with is lowered.
      g.look_x = TruncToInt(g.look_x * double{0.6f});
      g.look_y = TruncToInt(g.look_y * double{0.6f});
      g.face_x = EdgeAway(g.face_x, g.cursor_x + 6, 2, 45, 755);
      g.face_y = EdgeAway(g.face_y, g.cursor_y + 10, 1, 45, 555);
    }
    Flip(-1);
  }
}

void RunStage17() {
  int& step_dx = g.scene_var_1;
  int& step_dy = g.scene_var_2;
  int& origin_x = g.scene_var_3;
  int& origin_y = g.scene_var_4;
  int& jump_height = g.scene_var_5;
  int& ground_y = g.scene_var_6;
  int& travel_y = g.scene_var_7;  // also the nod search's running index
  float& travel_x = g.scene_real;
  int32_t(&moves)[kMoveSlots] = g.moves;
  int& move_index = g.move_index;
  int& poke_count = g.poke_count;

  while (g.stage == 17) {
    if (g.stage_frame == 0) {
      // Entries 5 and 6 are left alone: the game of stage 14 never gets that far on its way here.
      for (int i = 0; i < 5; ++i) moves[i] = kMoveNone;
      move_index = 0;
      poke_count = 0;
      ground_y = g.face_y;
      travel_x = 0.0f;
      travel_y = 0;
      jump_height = g.face_y > 210 ? 200 : g.face_y - 10;
    }
    DrawExpectantFace();

    ReadPointerStep(step_dx, step_dy);
    const bool recording = g.stage_frame > kRecordFrom;
    if (recording && BackingOff(moves[move_index], step_dx, step_dy)) {
      origin_x = g.cursor_x;
      origin_y = g.cursor_y;
    }
    travel_x = travel_x + static_cast<float>(Abs(step_dx));
    travel_y += Abs(step_dy);
    // Summed in double before truncation, unlike UpdateCursor's single-precision step.
    StepCursor(step_dx, step_dy, kNodSpeedX, kNodSpeedY);
    LookAtCursor();
    g.mouse_clicked = MouseHits(1);
    if (g.stage_frame == kRecordFrom) {
      origin_x = g.cursor_x;
      origin_y = g.cursor_y;
    }
    if (recording && (Abs(step_dx) > 5 || Abs(step_dy) > 2)) {
      RecordMove(moves, move_index, g.cursor_x - origin_x, g.cursor_y - origin_y,
                 kNodThresholds);
    }
    WaitFrame();

    const int f = g.stage_frame;
    if (f < 60) {
      g.face_y = JumpY(ground_y, jump_height, f, 30, 900);
    } else if (80 < f && f < 130) {
      g.face_y = JumpY(ground_y, jump_height, f, 105, 625);
    } else if (f == kNodTimeout) {
      SetStage(28);
    }
    if (Poked()) ++poke_count;
    // Only while the cursor has moved at least twice as far up and down as across.
    if (f > kRecordFrom && travel_y >= travel_x * 2.0 && FindNod(moves, travel_y)) SetStage(29);
    if (move_index >= kRestlessMoves && g.stage == 17) SetStage(28);
    if (poke_count >= kPokesToFlee) SetStage(45);
    Flip(-1);
  }
}
