// Stages 42 to 44, the last act's partings: the face walks off and the cursor fades (42), sulks
// looking away from the cursor (43), or hops onto the cursor, holds it and falls asleep on it (44).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/fades.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/yawn_into_sleep.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/random.h"
#include "system/system_driver.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr float kCursorAlpha = 0.7f;
constexpr int kPokeRadius = 45;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

void DrawCursorArrow(float x, float y) {
  SetAlpha(kCursorAlpha);
  SetBlend(3);
  DrawImage(g.cursor_image.get(), x, y, 0);
  SetAlpha(1.0f);
}

void DrawMouthLine(int x0, int y0, int x1, int y1) {
  SetColor(0, 0, 0);
  DrawLine(x0, y0, x1, y1);
}

// --- Stage 42 -----------------------------------------------------------------------------

void DrawPartingFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawHeavyLiddedEyes();
  DrawMouthLine(31, 66, 63, 67);
  GrabFaceCanvas();
}

// --- Stage 43 -----------------------------------------------------------------------------

void DrawSulkingFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStandardEyes();
  SetFaceColor();
  DrawRect(10, g.look_y / 3 + 25, 70, 5);
  DrawBlink(50, 260);
  DrawMouthLine(32, 69, 58, 69);
  GrabFaceCanvas();
}

// Turns the gaze UpdateCursor just worked out away from the cursor: gradually over the first
// five frames, then straight to the rim of the eye.
void AvertGaze(int f, int& away_look_x, int& away_look_y) {
  int& lx = g.look_x;
  int& ly = g.look_y;
  if (f < 5) {
    lx = -lx / (5 - f);
    ly = -ly / (5 - f);
    return;
  }
  lx = -lx;
  ly = -ly;
  if (Abs(lx) < 5 && Abs(ly) < 5) {
    if (Abs(ly) < Abs(lx)) {
      ly = ly * 5 / Abs(lx);
      lx = lx < 1 ? -5 : 5;
    } else if (ly != 0) {
      lx = lx * 5 / Abs(ly);
      ly = ly < 1 ? -5 : 5;
    } else {
      // No direction to turn from: keep the last averted look, whatever was left there.
      lx = away_look_x;
      ly = away_look_y;
    }
  }
  away_look_x = lx;
  away_look_y = ly;
}

// --- Stage 44 -----------------------------------------------------------------------------

constexpr float kWideEyeX = 1.2f;
constexpr float kWideEyeY = 1.3f;

void DrawSurprisedFeatures() {
  DrawFaceDisc();
  SetColor(255, 255, 255);
  DrawOval(10, g.look_y / 3 + 25, 30, 30);
  DrawOval(50, g.look_y / 3 + 25, 30, 30);
  SetColor(0, 0, 0);
  const float pupil_y = 30 + g.look_y * kWideEyeY;
  DrawOval(15 + g.look_x * kWideEyeX, pupil_y, 20, 20);
  DrawOval(55 + g.look_x * kWideEyeX, pupil_y, 20, 20);
  DrawBlink(50, 260);
  SetAlpha(1.0f);
  SetColor(255, 255, 255);
  SetBlend(3);
  DrawImage(g.mouth1_image.get(), 45, 70, 0);
  SetBlend(1);
}

void DrawContentFeatures() {
  DrawFaceDisc();
  DrawStandardEyes();
  DrawBlink(50, 260);
  DrawMouthLine(35, 68, 55, 68);
}

void DrawGrinningFeatures() {
  DrawFaceDisc();
  DrawStaringEyes();
  SetBlend(3);
  SetAlpha(0.75f);  // left so until the cursor is drawn
  SetScale(1.3f, 1.15f);
  SetColor(255, 255, 255);
  DrawImage(g.mouth2_image.get(), 46, 67, 0);
  SetBlend(1);
  SetScale(1, 1);
}

// Frames 0..10: a hop toward a point 42 pixels above the cursor, which only hard pushes move.
void HopOntoCursor(int f, int& landing_y) {
  const int d = f < 6 ? 4 : 2;
  g.face_x += (g.cursor_x - g.face_x) / d;
  landing_y += (g.cursor_y - landing_y - 42) / d;
  g.face_y = TruncToInt(2.5 * Pow(f, 2) / 4.0 - 5 * f - 12.5 + landing_y);
  // Kept on the screen, the cursor and the target moving with the face.
  if (g.face_y < 45) {
    g.face_y += 13;
    g.cursor_y += 13;
    landing_y += 13;
  }
  if (g.face_x < 45) {
    g.face_x += 8;
    g.cursor_x += 8;
  }
  if (g.face_x > 755) {
    g.face_x -= 8;
    g.cursor_x -= 8;
  }
  SetColor(255, 255, 255);
  if (PointerX() < 150) g.cursor_x -= 1;
  if (PointerX() > 650) g.cursor_x += 1;
  if (PointerY() < 150) g.cursor_y -= 1;
  if (PointerY() > 450) g.cursor_y += 1;
  MoveMouse(kScreenCentreX, kScreenCentreY);
  DrawCursorArrow(g.cursor_x, g.cursor_y);
  g.look_x = GazeOffset(g.cursor_x, g.face_x);
  g.look_y = GazeOffset(g.cursor_y, g.face_y);
}

// Frame 11: the face settles just above the cursor; from now on the cursor position only
// measures the struggle around the screen centre.
void LandOnCursor() {
  g.face_x = g.cursor_x + (g.face_x - g.cursor_x) / 5;
  g.face_y = g.cursor_y - 42;
  g.cursor_y += 1;
  SetBlend(3);
  SetAlpha(kCursorAlpha);
  SetColor(255, 255, 255);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
  SetAlpha(1.0f);
  g.cursor_x = kScreenCentreX;
  g.cursor_y = kScreenCentreY;
}

// From frame 12: the caught arrow peeps out under the face, twitching a little as the player
// struggles (sampled one frame in five on average).
void HoldCursor(int f) {
  SetColor(255, 255, 255);
  if (RandomInt(0, 4) == 0) {
    g.cursor_x = CursorAxisStep(g.cursor_x, (PointerX() - kScreenCentreX) * double{0.2f});
    if (g.cursor_x > 800) g.cursor_x = 800;
    if (g.cursor_x < 0) g.cursor_x = 0;
    g.cursor_y = CursorAxisStep(g.cursor_y, (PointerY() - kScreenCentreY) * double{0.2f});
    if (g.cursor_y < 0) g.cursor_y = 0;
    if (g.cursor_y > 600) g.cursor_y = 600;
  }
  MoveMouse(kScreenCentreX, kScreenCentreY);
  DrawCursorArrow(g.cursor_x / 100 + g.face_x - 4, g.cursor_y / 100 + g.face_y + 40);
  if (f == 80) {
    g.look_x = 0;
    g.look_y = 0;
  }
}

// Asleep, the inside of the mouth (a lighter picture, scaled down) lies behind the face and
// shows through the yawn's hole; the face rides the breath.
void DrawCatchingFace(int f, int breath) {
  int y = g.face_y;
  if (f >= 200) {
    SetColor(240, 240, 240);
    SetScale(0.8f, 0.8f);
    DrawImage(g.mouth3_image.get(), g.face_x, g.face_y + 22, 0);
    SetScale(1, 1);
    y = f > 346 ? g.face_y + breath : g.face_y - breath / 2;
  }
  DrawFaceImage(g.face_x, y);
}

}  // namespace

void RunStage42() {
  int& fade_from = g.stage_scratch_a;
  while (g.stage == 42) {
    const int f = g.stage_frame;
    DrawPartingFace();
    DrawFaceImage(g.face_x, g.face_y);

    double alpha = kCursorAlpha;
    if (fade_from >= 0 && fade_from < f) {
      g.scene_real = static_cast<float>(f - fade_from);
      alpha = double{kCursorAlpha} - g.scene_real / double{200.0f};
    }
    // UpdateCursor(0.8), but drawn at `alpha` (the colour is still the face's white).
    MoveCursorByPointer(kCursorSpeed, kCursorSpeed);
    ShowMovedCursor(static_cast<float>(alpha));
    SetAlpha(1.0f);

    // The gaze set here overrides the cursor's and is drawn next frame.
    if (-99 <= g.face_x && g.face_x < 900) {
      if (f > 99) {
        g.look_y = 0;
        if (g.face_x < 400) {
          g.look_x = -5;
          g.face_x -= RandomInt(1, 2);
        } else {
          g.look_x = 5;
          g.face_x += RandomInt(1, 2);
        }
      } else {
        g.look_x = TruncToInt(g.look_x / 1.5);  // a calmer gaze
      }
    } else if (fade_from == -1) {
      fade_from = f + 250;
    }
    WaitFrame();

    if (fade_from >= 0 && g.stage_frame == fade_from + 141) SetStage(74);
    Flip(-1);
  }
}

void RunStage43() {
  int& prev_cursor_x = g.scene_var_1;
  int& prev_cursor_y = g.scene_var_2;
  int& away_look_x = g.scene_var_3;
  int& away_look_y = g.scene_var_4;
  int& still_until = g.stage_scratch_a;
  while (g.stage == 43) {
    const int f = g.stage_frame;
    DrawSulkingFace();
    DrawFaceImage(g.face_x, g.face_y);

    prev_cursor_x = g.cursor_x;
    prev_cursor_y = g.cursor_y;
    UpdateCursor(kCursorSpeed);
    if (g.cursor_x != prev_cursor_x || g.cursor_y != prev_cursor_y) {
      still_until = -1;
    } else if (still_until == -1) {
      still_until = f + 110;
    }
    AvertGaze(f, away_look_x, away_look_y);
    WaitFrame();

    if (Poked()) {
      SetStage(45);
    } else if (still_until == g.stage_frame) {
      SetStage(44);
    } else if (g.stage_frame == 600) {
      SetStage(46);
    }
    Flip(-1);
  }
}

void RunStage44() {
  int& landing_y = g.scene_var_2;
  int& breath = g.scene_var_3;
  int& yawn_jitter = g.scene_var_4;
  float& fade_level = g.scene_real;
  while (g.stage == 44) {
    const int f = g.stage_frame;
    if (f == 0) {
      landing_y = g.face_y;
      UpdateCursor(kCursorSpeed);
    }
    BeginFaceCanvas();
    if (f <= 11) {
      DrawSurprisedFeatures();
    } else if (f <= 99) {
      DrawContentFeatures();
    } else if (f <= 199) {
      DrawGrinningFeatures();
    } else {
      DrawYawnIntoSleep(f - 200, f, breath, yawn_jitter);
    }
    GrabFaceCanvas();

    if (f <= 10) {
      HopOntoCursor(f, landing_y);
    } else if (f == 11) {
      LandOnCursor();
    } else {
      HoldCursor(f);
    }
    DrawCatchingFace(f, breath);
    WaitFrame();

    if (g.stage_frame > 650) {
      fade_level = static_cast<float>(g.stage_frame - 650);
      FadeScreenToBlack(fade_level / 100.0f);
    }
    if (g.stage_frame == 750) SetStage(74);
    Flip(-1);
  }
}
