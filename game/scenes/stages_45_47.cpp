// Stages 45 to 47: the startled face shoots to the top of the screen and watches the cursor (45);
// left alone it grows drowsy, its eyes turning into holes behind which the lids slowly close (46);
// disturbed, it wakes with a start and either dozes straight off again or stays up a while (47).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/eye_holes.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr int kPokeRadius = 45;
constexpr int kTopY = 40;  // where the fleeing face comes to rest

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

// --- Stage 45 -----------------------------------------------------------------------------

// Eye whites opened wide by the fright, settling to the standard size by frame 6.
void DrawStartledWhites(int f) {
  const int y = g.look_y / 3;
  SetColor(255, 255, 255);
  if (f <= 4) {
    DrawOval(9, y + 24, 32, 32);
    DrawOval(49, y + 24, 32, 32);
  } else if (f == 5) {
    DrawOval(9, y + 24, 30, 30);
    DrawOval(49, y + 24, 30, 30);
  } else {
    DrawOval(10, y + 25, 30, 30);
    DrawOval(50, y + 25, 30, 30);
  }
}

void DrawWorriedFace(int f) {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawStartledWhites(f);
  SetColor(0, 0, 0);
  DrawOval(g.look_x + 15, g.look_y + 30, 20, 20);
  DrawOval(g.look_x + 55, g.look_y + 30, 20, 20);
  DrawSlantedLids();
  DrawWorryLines();
  DrawBlink(40, 100);
  DrawFrown(43, 64);
  GrabFaceCanvas();
}

// --- Stage 46 -----------------------------------------------------------------------------

void DrawDrowsyCanvas(int f) {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawEyeHoleRims(f, kDrowsyEyeHoles);
  if (f < 150) {  // the worry fades out of the brows
    SetBlend(3);
    g.scene_real = static_cast<float>(150 - f);
    if (f > 130) SetAlpha(g.scene_real / 20.0f);
    DrawWorryLines();
    SetBlend(1);
    SetAlpha(1.0f);
  }
  SetColor(0, 0, 0);
  DrawLine(36, 64, 47, 63);
  DrawLine(47, 63, 50, 64);
  GrabFaceCanvas();
}

// The gaze is damped, and once drowsy it sinks a pixel lower every frame.
void DampDrowsyGaze(int f) {
  if (g.look_y < 0) g.look_y = 0;
  if (f < 51) {
    g.look_y = g.look_y * 2 / 3;
    g.look_x = g.look_x * 2 / 3;
  } else {
    g.look_y = g.look_y / 2;
    g.look_x = g.look_x / 2;
  }
  if (f > 211) g.look_y += 1;
}

// The cursor's centre within 26 pixels of the nose, the point 1 right of and 12 below the face
// centre.
bool CursorOnNose() {
  const double dx = g.face_x - g.cursor_x + 1;
  const double dy = g.face_y - g.cursor_y + 12;
  return Sqrt(dx * dx + dy * dy) <= 26.0;
}

// Past frame 273 the lids are all but shut: woken then, the face counts as having slept.
constexpr int kAsleepAfter = 273;

// --- Stage 47 -----------------------------------------------------------------------------

// Two huge tilted eye outlines and a big open mouth.
void DrawStartledFeatures() {
  SetBlend(3);
  SetColor(0, 0, 0);
  SetRotation(-15);
  DrawImage(g.eye2_image.get(), 25, 16, 0);
  SetRotation(15);
  DrawImage(g.eye2_image.get(), 65, 16, 0);
  SetRotation(0);
  SetScale(1.6f, 1.8f);
  SetColor(255, 255, 255);
  DrawImage(g.mouth3_image.get(), 45, 54, 0);
  SetScale(1, 1);
  SetBlend(1);
}

void DrawAwakeFeatures(int f, int& lid_drop) {
  const int y = g.look_y / 3;
  SetColor(0, 0, 0);
  DrawOval(10, y + 26, 30, 30);
  DrawOval(50, y + 26, 30, 30);
  DrawStandardEyes();  // over dark lower rims
  DrawLine(36, 64, 50, 64);
  if (f > 64) {  // the lids creep down
    lid_drop += RandomInt(0, 1);
    SetFaceColor();
    DrawRect(10, 25, 70, lid_drop);
  }
}

}  // namespace

void RunStage45() {
  int& prev_distance = g.scene_var_3;
  while (g.stage == 45) {
    const int f = g.stage_frame;
    DrawWorriedFace(f);

    g.face_y -= RandomInt(25, 55);
    if (g.face_y < 45) g.face_y = kTopY;
    DrawFaceImage(g.face_x, g.face_y);

    prev_distance = CursorDistance();
    UpdateCursor(kCursorSpeed);
    if (g.look_y < 0) g.look_y = 0;  // it never looks up
    WaitFrame();

    // Coming at the face once it has settled starts the chase.
    const int distance = CursorDistance();
    if (g.stage_frame >= 16 && distance < 100 && distance < prev_distance) {
      SetStage(49);
    } else if (g.stage_frame == 240) {
      SetStage(46);
    }
    Flip(-1);
  }
}

void RunStage46() {
  int& was_asleep = g.scene_var_7;
  while (g.stage == 46) {
    const int f = g.stage_frame;
    DrawDrowsyCanvas(f);
    DrawEyesBehindHoles(f, kDrowsyEyeHoles);
    DrawFaceImage(g.face_x, g.face_y);

    UpdateCursor(kCursorSpeed);
    DampDrowsyGaze(f);
    WaitFrame();

    if (CursorOnNose()) {
      was_asleep = g.stage_frame > kAsleepAfter;
      SetStage(47);
    } else if (CursorDistance() < kPokeRadius && g.mouse_clicked != 0) {
      // The poked face snatches the cursor halfway to its nose.
      g.cursor_x = (g.face_x + g.cursor_x + 1) / 2;
      g.cursor_y = (g.face_y + g.cursor_y + 12) / 2;
      was_asleep = g.stage_frame > kAsleepAfter;
      SetStage(47);
    } else if (g.stage_frame == 440) {
      SetStage(48);
    }
    Flip(-1);
  }
}

void RunStage47() {
  const int& was_asleep = g.scene_var_7;
  int& lid_drop = g.scene_var_3;
  while (g.stage == 47) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    if (f <= 6) {
      DrawStartledFeatures();
    } else if (was_asleep == 0 && f < 90) {
      DrawAwakeFeatures(f, lid_drop);
    } else {
      DrawShutEyeRims(26);
      DrawLine(36, 64, 50, 64);  // still black
      DrawShutEyeLids(26);
    }
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);

    // The cursor freezes where it was and vanishes once the fright is over.
    if (f < 7) {
      SetBlend(3);
      SetAlpha(0.7f);
      DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
      SetAlpha(1.0f);
    }
    WaitFrame();

    if (was_asleep == 0 && g.stage_frame == 20) {  // the eyes settle, looking slightly down
      g.look_x = 0;
      g.look_y = 1;
      lid_drop = 0;
    }
    if ((was_asleep == 1 && g.stage_frame == 180) || (was_asleep == 0 && g.stage_frame == 280)) {
      SetStage(48);
    }
    Flip(-1);
  }
}
