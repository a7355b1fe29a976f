// Stages 26 to 29: reactions to where the player keeps the cursor. The face floats up and away
// (26), creeps up on the cursor (27), rushes at it (28), or laughs (29).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/laughing_face.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr int kPokeRadius = 45;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

// From the face centre to the cursor point itself (not its tip), squares as real powers.
double GapToCursorPoint() {
  return Sqrt(Pow(g.face_x - g.cursor_x, 2) + Pow(g.face_y - g.cursor_y, 2));
}

void DrawMouthLine(int x0, int y0, int x1, int y1) {
  SetColor(0, 0, 0);
  DrawLine(x0, y0, x1, y1);
}

// --- Stage 26 -----------------------------------------------------------------------------

// The eyes of the floating face are drawn with at most four pixels of gaze.
int SoftenGaze(int look) {
  if (look == -5) return -4;
  if (look == 5) return 4;
  return look;
}

int ChooseDriftDirection() {
  if (g.cursor_x > g.face_x + 50) return -1;
  if (g.cursor_x < g.face_x - 50) return 1;
  return 0;
}

void DrawWaryFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  DrawSlantedLids();
  DrawWorryLines();
  DrawBlink(50, 260);
  DrawMouthLine(31, 66, 59, 66);
  GrabFaceCanvas();
}

// Up by 0..1.1 pixels and sideways by a bound that grows with the frame. The height is left
// alone: the face may float off the top, which the stages after it cope with.
void FloatAway(int drift_dir, int f) {
  g.face_y = TruncToInt(g.face_y - RandomFloat(0.0, double{1.1f}));
  if (drift_dir == -1) {
    g.face_x = TruncToInt(g.face_x - RandomFloat(0.0, f / 11.0));
  } else if (drift_dir == 1) {
    g.face_x = TruncToInt(g.face_x + RandomFloat(0.0, f / 11.0));
  } else {
    g.face_x += RandomInt(-2, 2);
  }
  if (g.face_x < 45) g.face_x = RandomInt(43, 45);
  if (g.face_x > 755) g.face_x = RandomInt(755, 757);
}

// --- Stage 27 -----------------------------------------------------------------------------

void DrawCreepingFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  // Lids half lowered over the tops of the eye whites, following them up.
  SetFaceColor();
  DrawRect(10, g.look_y < 0 ? g.look_y / 2 + 25 : 25, 70, 8);
  DrawBlink(50, 260);
  DrawMouthLine(31, 66, 56, 65);
  GrabFaceCanvas();
}

void CreepTowardCursor() {
  g.face_x += (g.cursor_x - g.face_x) / RandomInt(31, 42);
  g.face_y += (g.cursor_y - g.face_y) / RandomInt(31, 42);
}

// Beside the cursor, on the side toward the screen centre.
void JumpBesideCursor() {
  g.face_x = g.cursor_x < 400 ? g.cursor_x + 51 : g.cursor_x - 51;
  g.face_y = g.cursor_y < 300 ? g.cursor_y + 55 : g.cursor_y - 55;
}

// --- Stage 28 -----------------------------------------------------------------------------

void DrawRushingFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  DrawBlink(50, 260);
  DrawMouthLine(38, 73, 50, 73);
  GrabFaceCanvas();
}

// A quarter of the way to the cursor; backing off an eighth when that lands on the tip.
void RushAtCursor() {
  g.face_x += (g.cursor_x - g.face_x) / 4;
  g.face_y += (g.cursor_y - g.face_y) / 4;
  if (CursorDistance() < 46) {
    g.face_x -= (g.cursor_x - g.face_x) / 8;
    g.face_y -= (g.cursor_y - g.face_y) / 8;
  }
}

// Back at the offset it had when it caught up; an offset that would leave the face off the
// screen is mirrored to the cursor's other side, unchecked.
void ReturnToCaughtOffset(int catch_dx, int catch_dy) {
  g.face_x = g.cursor_x + catch_dx;
  g.face_y = g.cursor_y + catch_dy;
  if (g.face_x < 45 || g.face_x > 755) g.face_x = g.cursor_x - catch_dx;
  if (g.face_y < 45 || g.face_y > 555) g.face_y = g.cursor_y - catch_dy;
}

// --- Stage 29 -----------------------------------------------------------------------------

void DrawWavyMouthFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  DrawWorryLines();
  DrawBlink(50, 260);
  SetBlend(3);
  SetColor(255, 255, 255);
  DrawImage(g.mouth2_image.get(), 45, 70, 0);
  SetBlend(1);
}

}  // namespace

void RunStage26() {
  int& drift_dir = g.scene_var_3;
  while (g.stage == 26) {
    const int f = g.stage_frame;
    g.look_x = SoftenGaze(g.look_x);
    g.look_y = SoftenGaze(g.look_y);
    if (f == 0) drift_dir = ChooseDriftDirection();
    DrawWaryFace();

    FloatAway(drift_dir, f);
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame == 90) SetStage(43);
    Flip(-1);
  }
}

void RunStage27() {
  int& startle_frame = g.stage_scratch_a;
  int& prev_cursor_x = g.scene_var_1;
  int& prev_cursor_y = g.scene_var_2;
  int& cursor_step_sq = g.scene_var_3;
  int& cursor_travel = g.scene_var_4;
  int& face_gap = g.scene_var_5;
  bool first_pass = true;
  while (g.stage == 27) {
    if (first_pass) cursor_travel = 0;
    first_pass = false;
    DrawCreepingFace();
    // Frozen while startled.
    if (startle_frame == -1) CreepTowardCursor();
    DrawFaceImage(g.face_x, g.face_y);

    prev_cursor_x = g.cursor_x;
    prev_cursor_y = g.cursor_y;
    UpdateCursor(kCursorSpeed);
    cursor_step_sq =
        TruncToInt(Pow(prev_cursor_x - g.cursor_x, 2) + Pow(prev_cursor_y - g.cursor_y, 2));
    cursor_travel += cursor_step_sq;
    face_gap = TruncToInt(GapToCursorPoint());
    // A quick jerk right beside the face startles it; the cursor moving off ends the freeze.
    if (cursor_step_sq > 40 && face_gap < 50) startle_frame = g.stage_frame;
    if (face_gap > 45) startle_frame = -1;
    WaitFrame();

    if (startle_frame == -1 && face_gap < 49) {
      SetStage(36);
    } else if (Poked()) {
      SetStage(45);
    } else if (startle_frame >= 0 && g.stage_frame == startle_frame + 50) {
      JumpBesideCursor();
      SetStage(36);
    } else if (cursor_travel > 4500) {
      SetStage(37);
    }
    Flip(-1);
  }
}

void RunStage28() {
  int& catch_frame = g.stage_scratch_a;
  int& catch_dx = g.scene_var_1;
  int& catch_dy = g.scene_var_2;
  while (g.stage == 28) {
    DrawRushingFace();
    if (catch_frame == -1) RushAtCursor();
    DrawFaceImage(g.face_x, g.face_y);
    WaitFrame();

    if (GapToCursorPoint() < 55 && catch_frame == -1) {
      catch_frame = g.stage_frame;
      catch_dx = g.face_x - g.cursor_x;
      catch_dy = g.face_y - g.cursor_y;
    }
    // The cursor turns sluggish once the face has caught up.
    UpdateCursor(catch_frame == -1 ? kCursorSpeed : 0.5f);
    if (catch_frame >= 0 && g.stage_frame == catch_frame + 40) {
      ReturnToCaughtOffset(catch_dx, catch_dy);
      SetStage(36);
    } else if (Poked()) {
      SetStage(45);
    }
    Flip(-1);
  }
}

void RunStage29() {
  int& laugh_bounce = g.scene_var_3;
  while (g.stage == 29) {
    const int f = g.stage_frame;
    if (f <= 29) {
      DrawWavyMouthFace();
    } else {
      // Only the blink's timing counts here: the canvas drawn next covers its lids.
      DrawBlink(300, 400);
      laugh_bounce = Abs(f % 18 - 10);
      BeginFaceCanvas();
      DrawLaughingFace(laugh_bounce);
    }
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame == 160) SetStage(30);
    Flip(-1);
  }
}
