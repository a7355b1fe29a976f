// Stages 36 to 38: the quiet face nudges the cursor away, then dozes off with its eyes becoming
// holes over lids that close behind them (37), and sleeps until it fades away (38). Jerking the
// cursor away or poking the dozing face startles it (stage 39).
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/eye_holes.h"
#include "game/face.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr float kNudgedCursorSpeed = 0.008f;  // the pushed cursor all but frozen
constexpr int kPokeRadius = 45;
constexpr int kYankDistance = 25;

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

double FaceToCursor() {
  return Sqrt(Pow(g.face_x - g.cursor_x, 2) + Pow(g.face_y - g.cursor_y, 2));
}

// The face put 51 pixels from the cursor point, on its own side of it.
void PlaceNextToCursor(int& face_gap) {
  face_gap = TruncToInt(FaceToCursor());
  if (face_gap == 0) {
    g.face_x = g.cursor_x < 400 ? g.cursor_x + 51 : g.cursor_x - 51;
    g.face_y = g.cursor_y;
  } else {
    g.face_x = g.cursor_x - (g.cursor_x - g.face_x) * 51 / face_gap;
    g.face_y = g.cursor_y - (g.cursor_y - g.face_y) * 51 / face_gap;
  }
}

// Five pixels away from the cursor, x first, the distance taken again for y. With the cursor
// right on the face centre there is no direction to step back in; the face steps sideways
// instead, so it still backs off (and y needs no step: the cursor is then level with it).
void StepBack() {
  const double d = FaceToCursor();
  if (d > 0.0) {
    g.face_x = TruncToInt(g.face_x - (g.cursor_x - g.face_x) * 5 / d);
  } else {
    g.face_x += 5 * SideAwayFromCoveringCursor();
  }
  const double d_y = FaceToCursor();
  if (d_y > 0.0) g.face_y = TruncToInt(g.face_y - (g.cursor_y - g.face_y) * 5 / d_y);
}

// Frames 0..15: the face edges up to the cursor and pushes it out to 48 pixels.
void Nudge(int n, int& nudge_dx, int& nudge_dy, int& face_gap) {
  nudge_dx = (g.cursor_x - g.face_x) / 20;
  nudge_dy = (g.cursor_y - g.face_y) / 20;
  if (n >= 4 && n <= 11) {
    g.face_x += nudge_dx;
    g.face_y += nudge_dy;
  } else {
    g.face_x += nudge_dx / 2;
    g.face_y += nudge_dy / 2;
  }
  face_gap = TruncToInt(FaceToCursor());
  if (face_gap > 0 && face_gap < 48) {
    g.cursor_x = g.face_x - (g.face_x - g.cursor_x) * 48 / face_gap;
    g.cursor_y = g.face_y - (g.face_y - g.cursor_y) * 48 / face_gap;
  }
  UpdateCursor(kNudgedCursorSpeed);
}

}  // namespace

void RunStage36() {
  int& nudge_dx = g.scene_var_1;
  int& nudge_dy = g.scene_var_2;
  int& face_gap = g.scene_var_3;
  int& prev_cursor_x = g.scene_var_4;
  int& prev_cursor_y = g.scene_var_5;
  if (g.stage == 36) PlaceNextToCursor(face_gap);
  while (g.stage == 36) {
    const int n = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    DrawBlink(50, 260);
    SetFaceColor();
    if (n >= 16 && n <= 64) {  // uneven lids, the right one lower
      DrawRect(10, 24, 30, g.look_y / 4 + 1);
      DrawRect(50, 24, 30, g.look_y / 4 + 4);
    } else {
      DrawRect(10, 24, 70, g.look_y / 4 + 3);
    }
    SetColor(0, 0, 0);
    DrawLine(31, 66, 63, 65);
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);

    prev_cursor_x = g.cursor_x;
    prev_cursor_y = g.cursor_y;
    if (n >= 16 && n <= 20) StepBack();
    if (n > 15) {
      UpdateCursor(kCursorSpeed);
    } else {
      Nudge(n, nudge_dx, nudge_dy, face_gap);
    }
    WaitFrame();

    // The push of the nudge counts toward the yank too.
    const double moved_x = g.cursor_x - prev_cursor_x;
    const double moved_y = g.cursor_y - prev_cursor_y;
    if (Sqrt(moved_x * moved_x + moved_y * moved_y) > kYankDistance) {
      SetStage(39);
    } else if (g.stage_frame == 140) {
      SetStage(37);
    }
    Flip(-1);
  }
}

void RunStage37() {
  while (g.stage == 37) {
    const int n = g.stage_frame;
    DrawDozingFace(n, kDozingEyeHoles, 33);

    UpdateCursor(kCursorSpeed);
    if (n > 179) {  // the gaze comes to rest, a little down
      g.look_x = 0;
      g.look_y = 1;
    } else {
      g.look_x = TruncToInt(g.look_x / 1.5);
      g.look_y = TruncToInt(g.look_y / 1.5);
    }
    WaitFrame();

    if (g.stage_frame < 50) BackAwayFromCursor();
    if (g.stage_frame == 350) {
      SetStage(38);
    } else if (Poked()) {
      SetStage(39);
    }
    Flip(-1);
  }
}

void RunStage38() { RunSleepingFadeOut(38, 33); }
