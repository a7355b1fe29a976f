// Stage 0: the sleeping face breathes while the title and the credit line fade in and out, then
// the cursor fades in. A click on the face wakes it (stage 1); otherwise stage 2 follows at 810.
#include <cstdlib>

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

// How far the top of the disc is pushed down: a slow 180-frame breath between 1 and 6.
int BreathingSquash(int f) {
  int squash = std::abs(15 - (f % 180) / 6) - 4;
  if (squash < 1) squash = 1;
  if (squash > 6) squash = 6;
  return squash;
}

void DrawSleepingFaceCanvas(int squash) {
  BeginFaceCanvas();
  SetColor(241, 230, 63);
  DrawOval(0, squash, 90, 90 - squash);
  DrawShutEyes(squash + 21);
  SetColor(0, 0, 0);
  DrawLine(35, squash / 2 + 63, 55, squash / 2 + 63);
  GrabFaceCanvas();
}

// The ramps store the integer numerator in scene_real and divide in single precision.
float Ramp(int numerator, float divisor) {
  g.scene_real = static_cast<float>(numerator);
  return g.scene_real / divisor;
}

void DrawTitleLettering(int f) {
  if (f <= 50) return;
  float alpha = 1.0f;
  if (f <= 129) {
    alpha = Ramp(f - 50, 80.0f);
  } else if (f >= 221) {
    alpha = Ramp(300 - f, 80.0f);  // below zero from 301 on: drawn, but clamped invisible
  }
  SetAlpha(alpha);
  DrawImage(g.title_image.get(), 240, 160, 0);
}

void DrawCreditLine(int f) {
  if (f <= 100) return;
  float alpha = 1.0f;
  if (f <= 159) {
    alpha = Ramp(f - 100, 60.0f);
  } else if (f >= 231) {
    alpha = Ramp(300 - f, 70.0f);
  }
  SetAlpha(alpha);
  DrawImage(g.title2_image.get(), 540, 190, 0);
}

// Frames 321..399: the cursor fades in and speeds up. Like UpdateCursor, but the speed and the
// alpha ramp with the frame, the colour is left as it is and the gaze is not recomputed.
void WakeCursor(int f) {
  g.scene_real = static_cast<float>(f - 320);
  const double ramp = g.scene_real;
  g.cursor_x =
      ClampCursorX(CursorAxisStep(g.cursor_x, (PointerX() - kScreenCentreX) * ramp / 100.0));
  g.cursor_y =
      ClampCursorY(CursorAxisStep(g.cursor_y, (PointerY() - kScreenCentreY) * ramp / 100.0));
  MoveMouse(kScreenCentreX, kScreenCentreY);
  SetAlpha(static_cast<float>(double{0.7f} * ramp / 80.0));
  SetBlend(3);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
  g.mouse_clicked = MouseHits(1);
}

}  // namespace

void RunStage0() {
  while (g.stage == 0) {
    const int f = g.stage_frame;
    if (f < 700) g.squash = BreathingSquash(f);  // from 700 on it stays at 6

    DrawSleepingFaceCanvas(g.squash);
    DrawFaceImage(400, 300);
    SetBlend(3);

    if (f < 90) {  // the opening shade over the face's surroundings
      SetColor(0, 0, 0);
      SetAlpha(Ramp(90 - f, 90.0f));
      DrawRect(350, 250, 100, 100);
      SetColor(255, 255, 255);
    }
    DrawTitleLettering(f);
    DrawCreditLine(f);

    // Before 321 the mouse is not read at all: presses made meanwhile are counted at 321.
    if (f >= 400) {
      UpdateCursor(0.8f);
    } else if (f >= 321) {
      WakeCursor(f);
    }
    SetAlpha(1.0f);

    WaitFrame();

    // Only a click below the flattened top of the face wakes it.
    if (CursorDistance() < 45 && g.mouse_clicked != 0 && g.cursor_y > 255 + g.squash) {
      SetStage(1);
    } else if (g.stage_frame == 810) {
      SetStage(2);
    }
    Flip(-1);
  }
}
