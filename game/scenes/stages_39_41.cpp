// Stages 39 to 41: startled, the face hops away from the cursor (39), dozes off again, its eyes
// becoming holes over lids that close behind them (40), and sleeps until it fades away (41). A
// poke while it dozes leads to stage 42.
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/eye_holes.h"
#include "game/face.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr int kPokeRadius = 45;

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

// Away from the cursor, unless there is no room on the left; never off the right edge.
void PlanHop(int& hop_dir, int& hop_base_y, int& hop_height) {
  hop_dir = ((g.cursor_x >= g.face_x && g.face_x > 90) || g.face_x > 610) ? -1 : 1;
  hop_base_y = g.face_y;
  hop_height = g.face_y > 199 ? RandomInt(170, 220) : 80;
}

// Decisions 1..15: sideways by 3 and along an arc that peaks hop_height above hop_base_y at 10.
void HopStep(int hop_dir, int& hop_base_y, int hop_height) {
  const int f = g.stage_frame;
  g.face_x += 3 * hop_dir;
  if (g.face_x < 45) g.face_x = 45;
  if (g.face_x > 755) g.face_x = 755;
  g.face_y = TruncToInt(Pow(f - 10, 2) * hop_height / 100 + (hop_base_y - hop_height));
  // Held at the top edge; the rest of the arc is shifted down by the overshoot.
  if (g.face_y < 0) {
    hop_base_y -= g.face_y;
    g.face_y = 0;
  }
}

}  // namespace

void RunStage39() {
  int& hop_base_y = g.scene_var_2;
  int& hop_dir = g.scene_var_3;
  int& hop_height = g.scene_var_4;
  if (g.stage == 39) PlanHop(hop_dir, hop_base_y, hop_height);
  while (g.stage == 39) {
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    // A thin lid over the eye on the side the face hops away from.
    SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
    DrawRect(30 - 20 * hop_dir, g.look_y / 3 + 25, 30, 3);
    DrawBlink(50, 260);
    SetColor(0, 0, 0);
    DrawLine(36, 66, 59, 65);
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame < 16) HopStep(hop_dir, hop_base_y, hop_height);
    if (g.stage_frame == 80) SetStage(40);
    Flip(-1);
  }
}

void RunStage40() {
  while (g.stage == 40) {
    const int n = g.stage_frame;
    DrawDozingFace(n, kRedozingEyeHoles, 36);
    UpdateCursor(kCursorSpeed);  // the pupils behind the holes keep following
    WaitFrame();

    if (g.stage_frame < 50) BackAwayFromCursor();
    if (g.stage_frame == 360) {
      SetStage(41);
    } else if (Poked()) {
      SetStage(42);
    }
    Flip(-1);
  }
}

// Stage 38's sleep with a shorter mouth.
void RunStage41() { RunSleepingFadeOut(41, 36); }
