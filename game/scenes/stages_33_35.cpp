// Stages 33 to 35: after the fight the tired face breathes, looks up sleepily, yawns and falls
// asleep (33); poked in its sleep it sleeps on restlessly (34), left alone it sleeps on (35); then
// cursor and face fade away and the closing card follows.
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kSleepyCursorSpeed = 0.6f;
constexpr int kPokeRadius = 45;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }
void SetHoleColor() { SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]); }

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// The breath of stage 33, from N; frames 280..300, 345..482 and 500 keep the last value.
void UpdateStage33Breath(int n, int& breath) {
  if (n <= 159) {
    breath = Clamp(Abs(7 - (n % 80) / 5) - 3, 0, 3);
  } else if (n <= 279) {
    breath = Clamp(Abs(7 - ((n - 40) % 120) / 8) - 3, 0, 3);
  } else if (n >= 301 && n <= 344) {
    breath = (345 - n) / 15;
  } else if (n >= 483 && n <= 499) {
    breath = (n - 482) / 3;
  } else if (n >= 501) {
    breath = Clamp(Abs(15 - ((n + 10) % 180) / 6) - 4, 1, 6);
  }
}

// The deep breath of the sleeping face: a 180-frame cycle, 1..6.
int SleepingBreath() { return Clamp(Abs(15 - ((g.stage_frame + 10) % 180) / 6) - 4, 1, 6); }

void DrawStage33Eyes(int n, int b) {
  const int lift = g.look_y / 3 - b;
  if (n <= 39) {
    DrawShutEyes(lift + 26);
    DrawBlink(50, 260);
  } else if (n <= 299) {  // sleepy, under heavy tilted lids
    SetColor(200, 200, 110);
    DrawOval(10, lift + 26, 30, 30);
    DrawOval(50, lift + 26, 30, 30);
    DrawEyes(lift + 25, g.look_x, g.look_y - b);
    SetFaceColor();
    SetRotation(-2);
    DrawRect(10, 24 - b, 30, 8);
    SetRotation(2);
    DrawRect(51, 23 - b, 30, 8);
    SetRotation(0);
    DrawBlink(50, 260);
  } else if (n <= 344) {
    DrawClosedEyes((345 - n) / 3 + 23);
  } else if (n <= 409) {
    DrawClosedEyes(21);
  } else if (n <= 439) {
    DrawClosedEyes((n - 410) / 2 + 21);
  } else {
    DrawClosedEyes(36 - b / 3);
  }
}

// The yawn's mouth is painted in the canvas blue: the grab makes it a hole through which the
// open-mouth picture behind the face shows.
void DrawStage33Mouth(int n, int b) {
  int& yawn_jitter = g.scene_var_4;
  if (n <= 129) {  // small and open
    SetColor(255, 255, 255);
    SetBlend(3);
    SetAlpha(0.8f);
    SetScale(0.5f, 0.4f);
    DrawImage(g.mouth3_image.get(), 46, 67 - b, 0);
    SetAlpha(1.0f);
    SetScale(1, 1);
    SetBlend(1);
  } else if (n <= 299) {  // the frown turned over: a faint smile
    SetColor(255, 255, 255);
    SetBlend(3);
    SetAlpha(0.8f);
    SetScale(1, 0.6f);
    SetRotation(180);
    DrawImage(g.mouth4_image.get(), 46, 67 - b, 0);
    SetAlpha(1.0f);
    SetScale(1, 1);
    SetRotation(0);
    SetBlend(1);
  } else if (n <= 344) {
    const int p = (345 - n) / 3;
    SetHoleColor();
    DrawOval(30, 47 + p, 30, 31 - 2 * p);
  } else if (n <= 409) {
    yawn_jitter = RandomInt(0, 2);
    const int j = yawn_jitter;
    SetHoleColor();
    DrawOval(30, 47 - j, 30, 2 * j + 31);
  } else if (n <= 439) {
    SetHoleColor();
    DrawOval(30, (n - 410) / 2 + 47, 30, 441 - n);
  } else {
    SetColor(0, 0, 0);
    DrawLine(34, 62 - b / 3, 56, 62 - b / 3);
  }
}

// Stages 34 and 35 draw the same sleeping face; only the mouth differs.
void DrawSleepingFaceCanvas(int b) {
  BeginFaceCanvas();
  SetFaceColor();
  DrawOval(0, 0, 90, 90 - b);
  DrawClosedEyes(36 - b / 3);
}

// The face at alpha 1 until t = 200, then fading to 1/150 over the next 149 frames.
void SetFaceFade(float t) {
  if (t > 200.0f) SetAlpha(1.0f - (t - 200.0f) / 150.0f);
}

// t = 0..34: the cursor slows from 0.6 of the mouse speed to about 0.11 and fades from 0.7 to
// 0.02. Gaze and clicks are left alone: the eyes are closed.
void DrawFadingCursor(float t) {
  DriftCursor(kSleepyCursorSpeed - t / 70.0f);
  SetAlpha(0.7f - t / 50.0f);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
}

}  // namespace

void RunStage33() {
  // wake_frame starts at -1: SetStage cleared stage_scratch_a on the way in.
  if (g.stage == 33) {
    MakeClosedEyeImage();  // afresh: the way here need not have passed stage 3
    SetMaskColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]);
  }
  int& breath = g.scene_var_3;
  int& wake_frame = g.stage_scratch_a;
  while (g.stage == 33) {
    const int n = g.stage_frame;
    UpdateStage33Breath(n, breath);
    const int b = breath;

    BeginFaceCanvas();
    SetFaceColor();
    DrawOval(0, 0, 90, 90 - b);  // the chin rises with the breath
    DrawStage33Eyes(n, b);
    DrawStage33Mouth(n, b);
    GrabFaceCanvas();

    SetColor(255, 255, 255);
    if (n >= 300 && n <= 439) DrawImage(g.mouth1_image.get(), g.face_x, g.face_y + 25, 0);
    // Asleep, the whole face sinks with the breath; before, it lifts by half of it.
    DrawImage(g.face_image.get(), g.face_x, n > 481 ? g.face_y + b : g.face_y - b / 2, 0);
    UpdateCursor(kSleepyCursorSpeed);
    if (n < 120) {
      g.look_x = 0;
      g.look_y = 2;
    } else if (n > 250) {
      g.look_x = 0;
      g.look_y = 0;
    }
    WaitFrame();

    // The sleep goes on in stage 34 or 35 on the same clock: `stage` is written directly, not
    // through SetStage, so stage_frame, wake_frame and blink_due keep running and those stages
    // time their fades in stage 33's frame numbers. Tested before the wake test, so a poke is
    // followed by one more frame of this stage.
    if (wake_frame >= 0) {
      g.stage = 34;
    } else if (g.stage_frame == 800) {
      g.stage = 35;
    }
    // A poke on the face as drawn, `breath` pixels lower.
    const double dx = g.face_x - g.cursor_x + 6;
    const double dy = g.face_y + b - g.cursor_y + 10;
    if (g.stage_frame > 482 && Sqrt(dx * dx + dy * dy) < kPokeRadius && g.mouse_clicked != 0) {
      wake_frame = g.stage_frame + RandomInt(100, 250);
    }
    Flip(-1);
  }
}

void RunStage34() {
  int& breath = g.scene_var_3;
  const int& wake_frame = g.stage_scratch_a;
  while (g.stage == 34) {
    breath = SleepingBreath();
    const int b = breath;
    DrawSleepingFaceCanvas(b);
    // A restless, wavy mouth.
    SetBlend(3);
    SetScale(1, 0.65f);
    SetAlpha(0.7f);
    SetColor(255, 255, 255);
    DrawImage(g.mouth2_image.get(), 47, 61 - b / 3, 0);
    SetAlpha(1.0f);
    SetScale(1, 1);
    SetBlend(1);
    GrabFaceCanvas();

    const float t = static_cast<float>(g.stage_frame - wake_frame);
    SetFaceFade(t);
    SetColor(255, 255, 255);
    SetBlend(3);
    DrawImage(g.face_image.get(), g.face_x, g.face_y + b, 0);

    if (g.stage_frame < wake_frame) {
      UpdateCursor(kSleepyCursorSpeed);
    } else if (g.stage_frame < wake_frame + 35) {
      DrawFadingCursor(t);
    }

    SetAlpha(1.0f);
    WaitFrame();
    if (g.stage_frame == wake_frame + 350) SetStage(74);
    Flip(-1);
  }
}

void RunStage35() {
  int& breath = g.scene_var_3;
  while (g.stage == 35) {
    breath = SleepingBreath();
    const int b = breath;
    DrawSleepingFaceCanvas(b);
    SetColor(0, 0, 0);
    DrawLine(34, 62 - b / 3, 56, 62 - b / 3);
    GrabFaceCanvas();

    // Stage 33's clock runs on: this stage begins at frame 800.
    const float t = static_cast<float>(g.stage_frame - 800);
    SetFaceFade(t);
    SetColor(255, 255, 255);
    SetBlend(3);
    DrawImage(g.face_image.get(), g.face_x, g.face_y + b, 0);

    if (g.stage_frame < 835) DrawFadingCursor(t);

    SetAlpha(1.0f);
    WaitFrame();
    if (g.stage_frame == 1150) SetStage(74);
    Flip(-1);
  }
}
