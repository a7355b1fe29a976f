// Stages 20 to 22: with the cursor still in its mouth the face jumps twice while the mouse pushes
// it about (20); it spits the cursor out and backs away from it (21); mouth agape, it falls to the
// bottom, bounces and sinks out of sight (22).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/swallowed_cursor.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;

// --- Stage 20 -----------------------------------------------------------------------------

constexpr int kJumpEvery = 50;
constexpr int kBigLeap = 200;
constexpr int kHopDrop = 120;   // a hop from high up lands this much lower
constexpr int kFreedAbove = 56;
constexpr int kTopEdge = 45;    // no escape while the face is this high
constexpr int kEscapeBelow = 65;

// From low on the screen a big leap on the spot; from high up a hop that drifts sideways,
// away from the edges, and lands lower.
void SetUpJump() {
  int& jump_x = g.scene_var_1;
  int& ground_y = g.scene_var_2;
  int& jump_height = g.scene_var_3;
  int& jump_dx = g.scene_var_4;
  int& jump_drop = g.scene_var_6;
  jump_x = g.face_x;
  ground_y = g.face_y;
  if (g.face_y > 199) {
    jump_dx = 0;
    jump_height = kBigLeap;
    jump_drop = 0;
  } else {
    jump_dx = RandomInt(-24, 24);
    if (g.face_x + jump_dx < 150 || g.face_x + jump_dx > 650) jump_dx = -jump_dx;
    jump_height = RandomInt(30, 55);
    jump_drop = 1;
  }
}

// A parabola from ground_y up to ground_y - jump_height on its 30th decision and down again.
void Jump(int frame) {
  const int jump_x = g.scene_var_1;
  int& ground_y = g.scene_var_2;
  int& jump_height = g.scene_var_3;
  const int jump_dx = g.scene_var_4;
  const int jump_drop = g.scene_var_6;
  g.face_x = jump_x + ((frame - 10) % kJumpEvery * jump_dx) / 40;
  const double from_top = (frame - 1) % kJumpEvery - 29;
  g.face_y = TruncToInt(Pow(from_top, 2) * jump_height / 400 + (ground_y - jump_height));
  if (jump_drop == 1 && frame % kJumpEvery == 30) {
    ground_y += kHopDrop;
    jump_height += kHopDrop;
  }
}

// --- Stage 21 -----------------------------------------------------------------------------

// The spat-out cursor: moved by the pointer's offset times a single-precision factor (product
// and sum in double, so small rightward or downward motions truncate to nothing), re-centred,
// drawn at `alpha`, the gaze and clicks updated.
void CrawlCursor(int step_dx, int step_dy, float factor, float alpha) {
  g.cursor_x = ClampCursorX(TruncToInt(g.cursor_x + step_dx * double{factor}));
  g.cursor_y = ClampCursorY(TruncToInt(g.cursor_y + step_dy * double{factor}));
  ShowMovedCursor(alpha);
}

// A pixel at a time, at random, away from the cursor once it is more than 5 pixels off.
int BackAway(int face, int cursor) {
  if (face + 5 < cursor) return face - RandomInt(0, 1);
  if (cursor < face - 5) return face + RandomInt(0, 1);
  return face;
}

// --- Stage 22 -----------------------------------------------------------------------------

constexpr int kFloor = 645;     // the fall aims here; past it the face is gone
constexpr int kBounceAt = 575;
constexpr int kBounceY = 556;

void DrawWideEyes() {
  SetColor(255, 255, 255);
  DrawOval(9, 24, 32, 32);
  DrawOval(49, 24, 32, 32);
  SetColor(0, 0, 0);  // pupils low: looking down
  DrawOval(16, 37, 18, 18);
  DrawOval(56, 37, 18, 18);
}

// The open mouth is a hole in the face: the screen behind it is black, with the top of a pink
// tongue at its bottom.
void DrawTongueBehindFace() {
  SetColor(210, 120, 120);
  DrawOval(g.face_x - 20, g.face_y + 33, 40, 21);
  SetColor(0, 0, 0);
  DrawRect(g.face_x - 20, g.face_y + 39, 40, 15);
}

// Falling, bouncing, rising and sinking, by the decision's stage_frame.
void MoveFallingFace(int frame) {
  int& fall_step = g.scene_var_3;
  int& bounce_frame = g.stage_scratch_a;
  if (bounce_frame == -1 && frame > 4) {
    fall_step = TruncToInt(static_cast<float>(kFloor - g.face_y) / 5.5f);
    g.face_y += fall_step;
    if (g.face_y > kBounceAt) {
      g.face_y = kBounceY;
      fall_step = TruncToInt(fall_step * double{2.8f});
      bounce_frame = frame;
    }
  } else if (frame > 3) {
    if (bounce_frame >= 0) {
      // A face that lands from a step under a pixel bounces with speed 0 and so sinks from the
      // start; it still goes under once the rise is over.
      const float lift = static_cast<float>(fall_step) * 0.7f - static_cast<float>(RandomInt(1, 2));
      g.face_y = TruncToInt(static_cast<float>(g.face_y) - lift);
      g.face_x = TruncToInt(g.face_x + RandomFloat(-1, 1));
      fall_step = TruncToInt(fall_step * double{0.95f});
      if (frame == bounce_frame + 20 || g.face_y < 150) bounce_frame = -2;
    } else if (bounce_frame == -2 && g.face_y < 650) {
      g.face_y = TruncToInt(g.face_y + (700 - g.face_y) / 5.5);
    }
  } else {
    g.face_y -= RandomInt(1, 2);  // a small lift before the fall
  }
}

}  // namespace

void RunStage20() {
  int& struggle = g.scene_var_5;
  int& push_roll = g.scene_var_7;
  int& decay_frame = g.stage_scratch_a;
  int& escape_frame = g.stage_scratch_b;
  while (g.stage == 20) {
    const int f = g.stage_frame;
    if (f == 0 || f == kJumpEvery) SetUpJump();
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    g.cursor_y = g.face_y;  // the swallowed cursor rides along
    DrawBlink(50, 260);
    SetColor(0, 0, 0);
    DrawLine(36, 65, 54, 65);
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);
    WaitFrame();

    const int frame = g.stage_frame;
    if ((frame - 1) % kJumpEvery > 9) Jump(frame);
    // The face is not kept on the screen here: pushes carry it past the edges between jumps, and
    // stage 25 takes it from wherever it is (the cursor it lets go is clamped as it reappears).
    const bool strong_x = (push_roll = RandomInt(0, 1)) == 0;
    const bool strong_y = (push_roll = RandomInt(0, 1)) == 0;
    struggle += StruggleInsideFace(strong_x, strong_y);
    CutStruggle(struggle, decay_frame, 3);

    if (frame == 102) {
      SetStage(25);
    } else if (g.face_y > kEscapeBelow && escape_frame >= 0) {
      SetStage(21);
    } else if (struggle > kFreedAbove) {
      if (g.face_y > kTopEdge) {
        SetStage(21);
      } else {
        escape_frame = frame;  // freed once the face is back down
      }
    }
    Flip(-1);
  }
}

void RunStage21() {
  int& step_dx = g.scene_var_1;
  int& step_dy = g.scene_var_2;
  int& held_still = g.scene_var_3;
  if (g.stage == 21) {
    // Spat out just below the mouth; clamped to the screen when first moved.
    g.cursor_x = g.face_x + 6;
    g.cursor_y = g.face_y + 30;
    held_still = 0;
  }
  while (g.stage == 21) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    DrawCreasedBrows();
    DrawBlink(50, 260);
    DrawFrown(45, 63);
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);

    step_dx = PointerX() - kScreenCentreX;
    step_dy = PointerY() - kScreenCentreY;
    if (step_dx == 0 && step_dy == 0) held_still = 1;
    if (f <= 9) {  // fading in, nearly frozen
      CrawlCursor(step_dx, step_dy, 0.02f, static_cast<float>(double{0.07f} * f));
      SetBlend(1);
      SetAlpha(1);
    } else if (held_still == 1) {
      UpdateCursor(0.6f);
    } else {  // crawling until the hand keeps still for a frame
      CrawlCursor(step_dx, step_dy, 0.05f, 0.7f);
    }
    WaitFrame();

    g.face_x = BackAway(g.face_x, g.cursor_x);
    g.face_y = BackAway(g.face_y, g.cursor_y);
    if ((held_still == 1 && g.stage_frame == 30) || g.stage_frame == 50) SetStage(22);
    Flip(-1);
  }
}

void RunStage22() {
  const int& bounce_frame = g.stage_scratch_a;
  while (g.stage == 22) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    if (bounce_frame < 0 || (bounce_frame > 0 && f > bounce_frame + 5)) {
      DrawWideEyes();
    } else {
      DrawShutEyes(21);  // squeezed shut by the bounce
    }
    DrawBlink(50, 260);
    SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]);
    DrawOval(31, 60, 28, 24);
    GrabFaceCanvas();

    DrawTongueBehindFace();
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    MoveFallingFace(g.stage_frame);
    if (g.face_y > kFloor) SetStage(23);
    Flip(-1);
  }
}
