// Stages 50 and 51, the endings after the chase. In 50 the face turns red with anger and jumps
// at the cursor until three hits have knocked it flat and still; then it calms down, walks off,
// yawns, sleeps and the screen fades out. In 51 it looks away from the cursor and glides off the
// screen, and the screen fades out. Both end in the closing card.
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/fades.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/wary_face.h"
#include "game/yawn_into_sleep.h"
#include "system/numeric.h"
#include "system/random.h"
#include "system/system_driver.h"

namespace {

constexpr int kNotYet = 99999;  // calm_start before the calm phase

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

// --- Stage 50: the faces ------------------------------------------------------------------

void DrawFrowningBrows() {
  SetColor(0, 0, 0);
  DrawLine(71, 19, 55, 25);
  DrawLine(19, 19, 35, 25);
}

// Frames 0..129: a stare, the face reddening from frame 50 and the brows darkening from 81.
void DrawGatheringAnger(int f) {
  if (f <= 49) {
    SetFaceColor();
  } else if (f <= 99) {
    SetColor(241, TruncToInt(230 - double{4.6f} * (f - 50)), TruncToInt(63 - double{1.26f} * (f - 50)));
  } else {
    SetColor(241, 0, 0);
  }
  DrawOval(0, 0, 90, 90);
  DrawStandardEyes();
  DrawFrowningBrows();
  if (f >= 81) {
    SetColor(TruncToInt(240 - double{4.8f} * (f - 80)), 0, 0);
    DrawLine(71, 20, 55, 26);
    DrawLine(19, 20, 35, 26);
  }
  SetColor(0, 0, 0);
  DrawLine(27, 69, 66, 69);
  SetRotation(0);
}

// Red, with lids slanting down to the nose, thick brows and bared teeth.
void DrawAngryFace() {
  SetColor(241, 0, 0);
  DrawOval(0, 0, 90, 90);
  DrawStandardEyes();
  SetColor(241, 0, 0);
  SetRotation(-68);
  DrawRect(20, 25, 7, 19);
  SetRotation(68);
  DrawRect(66, 19, 7, 19);
  SetRotation(0);
  DrawFrowningBrows();
  DrawLine(71, 20, 55, 26);
  DrawLine(19, 20, 35, 26);
  DrawBaredTeeth(65, {255, 255, 255}, {200, 0, 0});  // in the brows' black
}

// The calm phase's first 240 frames: the colour comes back and the face walks to a resting spot
// well away from the cursor, chosen on the phase's first frame.
void DrawCalmingFace(int f) {
  int& calm_start = g.scene_var_1;
  int& rest_x = g.scene_var_5;
  int& rest_y = g.scene_var_6;
  const int c = calm_start;
  if (c + 235 < f) {
    g.look_x /= 2;
    g.look_y /= 2;
  }
  const int k = c + 40 < f ? f - c - 40 : 0;
  SetColor(241, TruncToInt(k * double{1.15f}), TruncToInt(k * double{0.315f}));
  DrawOval(0, 0, 90, 90);
  DrawStandardEyes();
  if (f < c + 90) {
    SetColor(0, 0, 0);
    DrawLine(35, 63, 55, 63);
  } else {
    SetColor(255, 255, 255);
    SetBlend(3);
    SetAlpha(1.0f);
    DrawImage(g.mouth2_image.get(), 45, 63, 0);
    SetAlpha(1.0f);
    SetBlend(1);
  }
  if (c == kNotYet) {
    do {
      rest_x = RandomInt(100, 700);
      rest_y = RandomInt(100, 500);
    } while (Sqrt(Pow(rest_x - g.cursor_x, 2) + Pow(rest_y - g.cursor_y, 2)) < 200);
    calm_start = f;
  }
  g.face_x += (rest_x - g.face_x) / 4;
  g.face_y += (rest_y - g.face_y) / 4;
}

void DrawRestingFace() {
  DrawFaceDisc();
  DrawStaringEyes();
  SetColor(0, 0, 0);
  DrawLine(35, 63, 55, 63);
}

void DrawStage50Canvas(int f, float cursor_speed) {
  const int c = g.scene_var_1;
  BeginFaceCanvas();
  if (f <= 129) {
    DrawGatheringAnger(f);
  } else if (cursor_speed > 0) {
    DrawAngryFace();
  } else if (f < c + 240) {
    DrawCalmingFace(f);
  } else if (f < c + 300) {
    DrawRestingFace();
  } else {  // from c + 300 a yawn, then sleep with a slow breath
    int& sleep_bob = g.scene_var_7;
    int yawn_jitter = 0;
    DrawYawnIntoSleep(f - c - 300, f, sleep_bob, yawn_jitter);
  }
  GrabFaceCanvas();
}

// --- Stage 50: the jumps ------------------------------------------------------------------

// One step of the jumps: a rise of 7 frames toward a point above the cursor, then a fall that
// may land on it and knock it down. Each landing on the cursor weakens it one step.
void StepJump(int f, float& cursor_speed, float& cursor_squash) {
  int& lunge_frame = g.stage_scratch_a;
  int& hit_frame = g.stage_scratch_b;
  int& misses = g.scene_var_2;
  int& lunge_dx = g.scene_var_3;
  int& lunge_rise_y = g.scene_var_4;

  if (f == lunge_frame) {
    lunge_dx = (g.cursor_x - g.face_x) / 10;
    lunge_rise_y = g.cursor_y - RandomInt(230, 300);
    if (lunge_rise_y < -20) lunge_rise_y = -20;
  }
  if (f == lunge_frame + 7) g.face_x = (2 * g.cursor_x + g.face_x) / 3;

  if (f < lunge_frame + 7) {  // rising
    g.face_x += lunge_dx;
    g.face_y = (g.face_y + lunge_rise_y) / 2;
  } else if (g.face_y < g.cursor_y + 60 && g.face_y < 570 &&
             (hit_frame == -1 || f < hit_frame + 3)) {  // falling
    if (g.face_y < g.cursor_y && CursorDistance() < 50 && hit_frame == -1) hit_frame = f;
    if (hit_frame >= 0) g.cursor_y += CursorDistance() > 43 ? 20 : 25;
    g.face_y += 22;
    if (misses > 2) g.face_x = g.cursor_x;  // it has learnt to aim
    if (g.cursor_y > 591) g.cursor_y = 591;
  } else {  // landed
    if (hit_frame < 0) {
      ++misses;
    } else {
      // One step per hit. The speeds are single-precision values and are compared as such.
      if (cursor_speed == 0.8f) {
        cursor_speed = 0.3f;
      } else if (cursor_speed == 0.3f) {
        cursor_speed = 0.1f;
      } else if (cursor_speed == 0.1f) {
        cursor_speed = 0;
      }
      cursor_squash *= 0.6f;
    }
    lunge_frame = f + 1;
    hit_frame = -1;
  }
}

// The face; once the yawn begins the open-mouth picture lies behind it, showing through the hole.
void DrawStage50Face(int f) {
  const int c = g.scene_var_1;
  if (c + 240 < f) {
    DrawFaceWithPictureBehind(g.mouth1_image.get(), 0, 25);
  } else {
    DrawFaceImage(g.face_x, g.face_y);
  }
}

void DrawSquashedCursor(float cursor_speed, float cursor_squash) {
  SetScale(1, cursor_squash);
  UpdateCursor(cursor_speed);
  SetScale(1, 1);
}

}  // namespace

void RunStage50() {
  float& cursor_speed = g.scene_real;
  float cursor_squash = 1.0f;
  int& lunge_frame = g.stage_scratch_a;
  const int& hit_frame = g.stage_scratch_b;
  int& calm_start = g.scene_var_1;
  int& misses = g.scene_var_2;
  const int& sleep_bob = g.scene_var_7;
  if (g.stage == 50) {
    lunge_frame = 150;
    calm_start = kNotYet;
    cursor_speed = 0.8f;
    misses = 0;
  }
  while (g.stage == 50) {
    const int f = g.stage_frame;
    DrawStage50Canvas(f, cursor_speed);
    if (cursor_speed > 0 && f > 149) StepJump(f, cursor_speed, cursor_squash);

    const int c = calm_start;
    const bool bobbing = c + 447 < f;
    if (bobbing) g.face_y += sleep_bob;
    SetColor(255, 255, 255);
    if (hit_frame < 0 && f < lunge_frame + 4 && f > 149) {
      // Early in a jump the face rises in front of the cursor.
      DrawSquashedCursor(cursor_speed, cursor_squash);
      DrawStage50Face(f);
    } else if (hit_frame < 0) {
      DrawStage50Face(f);
      DrawSquashedCursor(cursor_speed, cursor_squash);
    } else {
      // Being knocked down, the cursor does not answer the mouse; the motion is thrown away.
      SetBlend(3);
      SetAlpha(0.7f);
      SetScale(1, cursor_squash);
      DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
      SetScale(1, 1);
      SetAlpha(1.0f);
      MoveMouse(400, 300);
      DrawStage50Face(f);
    }
    if (bobbing) g.face_y -= sleep_bob;
    if (6 <= f && f <= 149) {  // the stare
      g.look_x = 0;
      g.look_y = 0;
    }
    WaitFrame();

    if (c + 700 < f) {
      FadeScreenToBlack((f - c - 700) / 148.0);
      if (f == c + 848) SetStage(74);
    }
    Flip(-1);
  }
}

void RunStage51() {
  int& look_away_x = g.scene_var_3;
  int& look_away_y = g.scene_var_4;
  float exit_x = static_cast<float>(g.face_x);
  float exit_y = static_cast<float>(g.face_y);
  while (g.stage == 51) {
    const int f = g.stage_frame;
    if (f == 0) {
      // Look away from the cursor and pick the point off screen straight away from it.
      g.look_x = -g.look_x;
      g.look_y = -g.look_y;
      look_away_x = g.look_x;
      look_away_y = g.look_y;
      const int d = CursorDistance();
      double dir_x = 0;
      double dir_y = 1;
      if (d >= 1) {
        dir_x = static_cast<double>(g.face_x - g.cursor_x + 6) / d;
        dir_y = static_cast<double>(g.face_y - g.cursor_y + 11) / d;
        // With the tip one pixel below the centre that direction is nil and the face would
        // never get anywhere: go straight away from the tip instead.
        if (dir_x == 0 && dir_y == 0) dir_y = static_cast<double>(g.face_y - g.cursor_y + 10) / d;
      }
      exit_x = static_cast<float>(g.face_x);
      exit_y = static_cast<float>(g.face_y);
      while (-100 < exit_x && exit_x < 900 && -100 < exit_y && exit_y < 700) {
        exit_x = static_cast<float>(exit_x + dir_x);
        exit_y = static_cast<float>(exit_y + dir_y);
      }
    }
    DrawWaryFace();
    g.face_x = TruncToInt(g.face_x + (double{exit_x} - g.face_x) / 4.0);
    g.face_y = TruncToInt(g.face_y + (double{exit_y} - g.face_y) / 4.0);
    DrawFaceImage(g.face_x, g.face_y);

    UpdateCursor(0.8f);
    g.look_x = look_away_x;
    g.look_y = look_away_y;
    WaitFrame();

    if (f > 400) FadeScreenToBlack((f - 400) / 130.0);
    if (f == 530) SetStage(74);
    Flip(-1);
  }
}
