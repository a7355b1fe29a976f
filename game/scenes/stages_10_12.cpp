// Stages 10 to 12: the face gapes at the cursor (10), backs away from it (11), and hops to where
// the cursor lingers before creeping after it under half-lowered lids (12).
#include <algorithm>

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/watchful_face.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;

bool PokedWithin(int radius) { return CursorDistance() < radius && g.mouse_clicked != 0; }

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }
void SetHoleColor() { SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]); }

// --- Stage 10 -----------------------------------------------------------------------------

// Eyes widened, a grey rim showing under each white.
void DrawWideEyes() {
  const int lift = g.look_y / 3;
  SetColor(180, 180, 180);
  DrawOval(9, lift + 27, 32, 27);
  DrawOval(49, lift + 27, 32, 27);
  SetColor(255, 255, 255);
  DrawOval(9, lift + 26, 32, 27);
  DrawOval(49, lift + 26, 32, 27);
  SetColor(0, 0, 0);
  DrawOval(g.look_x + 16, g.look_y + 31, 18, 18);
  DrawOval(g.look_x + 56, g.look_y + 31, 18, 18);
}

// The gaping mouth, cut out of the face in the canvas blue. Returns false once it has closed.
bool DrawGapingHole(int f) {
  SetHoleColor();
  if (f <= 36) {  // opens; the quotient truncates toward zero
    const int opening = (f - 45) / 3;
    DrawOval(30, 51 - opening, 30, 2 * opening + 31);
  } else if (f <= 54) {  // held, trembling by a pixel
    DrawOval(30, 54 - (f % 6 == 0 ? 1 : 0), 30, 25 + (f % 7 == 0 ? 1 : 0));
  } else if (f <= 84) {  // closes downward; the last heights are negative (drawn upward)
    DrawOval(30, 54 + (f - 55) / 2, 30, 80 - f);
  } else {
    return false;
  }
  return true;
}

// --- Stage 11 -----------------------------------------------------------------------------

// One step away from the cursor, kept strictly inside the screen margins.
void StepAway(int dx, int dy) {
  if (g.face_x + dx < 755 && g.face_x + dx > 45) g.face_x += dx;
  if (g.face_y + dy < 555 && g.face_y + dy > 45) g.face_y += dy;
}

// --- Stage 12 -----------------------------------------------------------------------------

void DrawHalfLids(int f) {
  if (f < 92) return;
  SetFaceColor();
  const int height = f <= 95 ? 2 * (f - 92) : 8;
  DrawRect(10, g.look_y / 3 + 25, 70, height);
}

void DrawCrookedMouth() {
  SetColor(0, 0, 0);
  DrawLine(33, 68, 63, 67, 1);
  DrawLine(33, 67, 33, 69, 1);
}

struct LingerBox {
  int& left;
  int& right;
  int& top;
  int& bottom;
};

// Where to hop: beside the box on the given side (the other side when there is no room), and
// above or below it, toward the screen's middle.
void ChooseHop(const LingerBox& box, bool to_the_right, int& hop_x, int& hop_y) {
  if (to_the_right) {
    hop_x = box.right + RandomInt(90, 170);
    if (hop_x > 755) {
      hop_x = box.left - RandomInt(90, 170);
      if (hop_x < 45) hop_x = 45;
    }
  } else {
    hop_x = box.left - RandomInt(90, 170);
    if (hop_x < 45) {
      hop_x = box.right + RandomInt(90, 170);
      if (hop_x > 755) hop_x = 755;
    }
  }
  if (box.top > 600 - box.bottom) {
    hop_y = box.top + RandomInt(-120, 70);
    if (hop_y < 45) hop_y = 45;
  } else {
    hop_y = box.bottom + RandomInt(-70, 120);
    if (hop_y > 555) hop_y = 555;
  }
}

// One axis of the creep: a fortieth of the gap when far, else a random nudge of under 1.2 pixels.
// Truncation toward zero makes the nudge lopsided on screen, which is part of the face's gait.
int CreepToward(int face, int cursor) {
  float& gap = g.scene_real;
  gap = static_cast<float>(cursor - face);
  if (Abs(double{gap}) >= 40) return TruncToInt(face + gap / 40);
  if (gap > 0) return TruncToInt(face + RandomFloat(0, double{1.2f}));
  if (gap < 0) return TruncToInt(face - RandomFloat(0, double{1.2f}));
  return face;
}

}  // namespace

void RunStage10() {
  while (g.stage == 10) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawWideEyes();
    DrawBlink(50, 260);
    // The mouth has closed: stage 12 is chosen before this frame's tick, so it starts at frame 1.
    if (!DrawGapingHole(f)) SetStage(12);
    GrabFaceCanvas();

    DrawFaceWithPictureBehind(g.mouth1_image.get(), 0, 25);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (PokedWithin(45)) SetStage(22);
    Flip(-1);
  }
}

void RunStage11() {
  int& flee_dx = g.scene_var_1;
  int& flee_dy = g.scene_var_2;
  int& flee_gap = g.scene_var_3;
  float& difference = g.scene_real;

  while (g.stage == 11) {
    DrawWatchfulFace();

    // The direction is taken every other frame, from the cursor point; the distance from its tip.
    if (g.stage_frame % 2 == 0) {
      flee_gap = CursorDistance();
      if (flee_gap != 0) {
        difference = static_cast<float>(g.face_x - g.cursor_x);
        flee_dx = TruncToInt(double{difference} / flee_gap * 2.0);
        difference = static_cast<float>(g.face_y - g.cursor_y);
        flee_dy = TruncToInt(double{difference} / flee_gap * 2.0);
      } else {
        flee_dx = 0;
        flee_dy = -2;
      }
    }
    if (g.stage_frame != 0) StepAway(flee_dx, flee_dy);
    if (CursorDistance() < 50) StepAway(flee_dx, flee_dy);  // hurry when the cursor is close

    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame > 100) SetStage(12);
    if (PokedWithin(45)) SetStage(22);
    Flip(-1);
  }
}

void RunStage12() {
  int& hop_x = g.scene_var_1;
  int& hop_y = g.scene_var_2;
  int& prev_cursor_x = g.scene_var_1;  // the hops are over by the time the creep needs these
  int& prev_cursor_y = g.scene_var_2;
  const LingerBox box{g.scene_var_3, g.scene_var_4, g.scene_var_5, g.scene_var_6};
  int& near_frame = g.stage_scratch_a;

  while (g.stage == 12) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    DrawBlink(100, 340);
    DrawHalfLids(f);
    DrawCrookedMouth();
    GrabFaceCanvas();

    if (f < 92) {
      // Four hops, alternately right and left of where the cursor lingered in the last window.
      const int p = f % 23;
      if (f % 46 == 5) {
        ChooseHop(box, true, hop_x, hop_y);
      } else if (p == 5) {
        ChooseHop(box, false, hop_x, hop_y);
      }
      if (p >= 5 && p <= 9) {  // a five-frame glide landing exactly on the spot
        g.face_x += (hop_x - g.face_x) / (10 - p);
        g.face_y += (hop_y - g.face_y) / (10 - p);
      }
      if (p == 0) {
        box.left = box.right = g.cursor_x;
        box.top = box.bottom = g.cursor_y;
      }
      if (p < 5) {
        box.left = std::min(box.left, g.cursor_x);
        box.right = std::max(box.right, g.cursor_x);
        box.top = std::min(box.top, g.cursor_y);
        box.bottom = std::max(box.bottom, g.cursor_y);
      }
    }
    if (f > 105) {
      g.face_x = CreepToward(g.face_x, g.cursor_x);
      g.face_y = CreepToward(g.face_y, g.cursor_y);
      prev_cursor_x = g.cursor_x;
      prev_cursor_y = g.cursor_y;
    }

    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    const double jerk =
        Sqrt(Pow(prev_cursor_x - g.cursor_x, 2) + Pow(prev_cursor_y - g.cursor_y, 2));
    if (g.stage_frame > 110 && jerk > 15) {
      SetStage(13);
    } else if (PokedWithin(46)) {
      SetStage(22);
    } else if (near_frame == -1 && g.stage_frame > 105 && CursorDistance() < 50) {
      near_frame = g.stage_frame;  // from now on stage 19 follows 16 frames later
    } else if (near_frame >= 0 && g.stage_frame > near_frame + 15) {
      SetStage(19);
    }
    Flip(-1);
  }
}
