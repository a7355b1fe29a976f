// Stages 23 to 25: after sinking away the face creeps back up until it peeks over the bottom
// edge (23) and watches the cursor (24); or, still holding the cursor, it frowns, sinks a little
// and lets the cursor slide out of its mouth (25).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/swallowed_cursor.h"
#include "system/polled_input.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr int kPokeRadius = 45;
constexpr int kPeekRadius = 60;

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

void DrawFlatMouth() {
  SetColor(0, 0, 0);
  DrawLine(31, 66, 63, 67);
}

// --- Stage 23 -----------------------------------------------------------------------------

constexpr int kClimbFrom = 181;
constexpr int kClimbTo = 264;

// Up a pixel a frame while far below, a random extra 0..2 while below 580; sideways jitter.
void Climb() {
  g.face_x = TruncToInt(g.face_x + RandomFloat(double{-0.1f}, double{1.15f}));
  g.face_y -= (g.face_y - 550) / 60;
  if (g.face_y > 580) g.face_y = TruncToInt(g.face_y - RandomFloat(double{-0.4f}, double{1.1f}));
}

// --- Stage 25 -----------------------------------------------------------------------------

constexpr int kSlideFrom = 61;
constexpr int kReleaseFrame = 102;

// The cursor slides down out of the mouth on the canvas; a yellow patch hides the part of it
// above the mouth. The blend stays alpha blend at alpha 1, so what follows draws opaque.
void DrawCursorLeavingMouth(int f) {
  SetColor(255, 255, 255);
  SetAlpha(0.7f);
  SetBlend(3);
  DrawImage(g.cursor_image.get(), 47, (f - 60) / 2 + 53, 0);
  SetAlpha(1);
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawRect(35, 41, 25, 21);
}

// The mouse nudges the face holding the cursor: a random pixel or none once the pointer is more
// than 50 pixels off the centre.
void NudgeFullFace() {
  if (PointerX() > 450) g.face_x += RandomInt(0, 1);
  if (PointerX() < 350) g.face_x -= RandomInt(0, 1);
  if (PointerY() > 350) g.face_y += RandomInt(0, 1);
  if (PointerY() < 250) g.face_y -= RandomInt(0, 1);
  RecentrePointerAndSampleClicks();
  g.look_x = 0;  // looking down at the mouth
  g.look_y = 3;
}

}  // namespace

void RunStage23() {
  while (g.stage == 23) {
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStaringEyes();
    DrawCreasedBrows();
    DrawBlink(50, 260);
    DrawFlatMouth();
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);  // below the screen until the climb
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame >= kClimbFrom && g.stage_frame <= kClimbTo) {
      Climb();
      if (Poked()) SetStage(45);
    } else if (g.stage_frame == 265) {
      SetStage(24);
    }
    Flip(-1);
  }
}

void RunStage24() {
  while (g.stage == 24) {
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawStandardEyes();
    DrawBlink(50, 260);
    DrawFlatMouth();
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (g.stage_frame < 8) {  // the eyes turn to the cursor gently
      g.look_x /= 2;
      g.look_y /= 2;
    }
    if (CursorDistance() < kPeekRadius) {
      SetStage(45);
    } else if (g.stage_frame == 200) {
      SetStage(26);
    }
    Flip(-1);
  }
}

void RunStage25() {
  while (g.stage == 25) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    if (f >= kSlideFrom && f < kReleaseFrame) DrawCursorLeavingMouth(f);
    if (f == kReleaseFrame) {
      // Let go at the mouth; UpdateCursor clamps it to the screen before it is drawn, wherever
      // the pushes of stage 20 left the face.
      g.cursor_x = g.face_x + 2;
      g.cursor_y = g.face_y + 29;
    }
    DrawStandardEyes();
    if (f > 140 || f < 60) DrawBlink(90, 300);
    DrawFrown(45, 62);  // the lips cover the cursor's upper end
    GrabFaceCanvas();

    if (f >= 26 && f <= 60 && g.face_y < 556) g.face_y += 2;
    if (f < kReleaseFrame) NudgeFullFace();
    if (f >= kSlideFrom && f < kReleaseFrame && f % 2 == 1) g.face_y -= 1;
    DrawFaceImage(g.face_x, g.face_y);
    if (f >= kReleaseFrame) UpdateCursor(1.0f);
    WaitFrame();

    if (g.stage_frame == 160) SetStage(27);
    Flip(-1);
  }
}
