// Stages 7 to 9: the leap with a headstand and a roll, the wary look, the startled jump.
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

// y of a jump that starts at base_y, peaks `height` pixels higher `rise_frames` frames after it
// began and falls back along the same parabola; `from_peak` counts frames from the peak.
int JumpY(int base_y, int height, int from_peak, int rise_frames) {
  double rise_sq = static_cast<double>(rise_frames) * rise_frames;
  return TruncToInt((base_y - height) +
                    static_cast<double>(from_peak) * from_peak * height / rise_sq);
}

// Wide eye outlines and an open mouth that quivers: squeezed by a sawtooth plus a random jitter.
void DrawAstonishedFeatures(int f) {
  float& squeeze = g.scene_real;
  SetColor(255, 255, 255);
  SetBlend(3);
  DrawImage(g.eye2_image.get(), 25, 41, 0);
  DrawImage(g.eye2_image.get(), 65, 41, 0);
  squeeze = static_cast<float>((f - 51) % 11 - 5);
  squeeze = static_cast<float>(1.0 + RandomFloat(-0.3f, 0.3f) - Abs(squeeze / 7.0));
  SetScale(1, squeeze);
  squeeze = squeeze * 16 - 16;  // the squeezed mouth sits a little higher, the stretched lower
  SetAlpha(1);
  DrawImage(g.mouth1_image.get(), 45, 70 + squeeze / 3, 0);
  SetScale(1, 1);
  SetBlend(1);
}

}  // namespace

void RunStage7() {
  int& hop_start_y = g.scene_var_2;
  int& hop_height = g.scene_var_3;
  int& hop_drift = g.scene_var_4;
  int& roll_left = g.scene_var_5;
  float& spin = g.scene_real;  // thirtieths of a degree

  while (g.stage == 7) {
    const int f = g.stage_frame;
    if (f == 0) {
      g.scene_var_1 = g.face_x;
      hop_start_y = g.face_y;
      hop_height = g.face_y - 15;  // the leap peaks with the face's centre at y 15
      int distance = RandomInt(100, 160);
      int direction = 2 * RandomInt(0, 1) - 1;
      hop_drift = distance * direction;
      if (g.face_x + hop_drift < 120 || g.face_x + hop_drift > 680) hop_drift = -hop_drift;
    }

    BeginFaceCanvas();
    DrawFaceDisc();
    if (f <= 50) {
      DrawDelightedFeatures();
    } else {
      DrawAstonishedFeatures(f);
    }
    GrabFaceCanvas();

    if (f <= 50) {
      // The leap, with a half somersault between frames 21 and 30.
      g.face_x += hop_drift / 50;
      g.face_y = JumpY(hop_start_y, hop_height, f - 25, 25);
      if (f <= 20) {
        spin = static_cast<float>(hop_drift);
      } else if (f <= 30) {
        int direction = hop_drift / Abs(hop_drift);
        spin = static_cast<float>((direction * 5400 - hop_drift) / 10.0 * (f - 20) + hop_drift);
      }
    } else if (f <= 70) {
      spin = 5400;  // the headstand
    } else {
      if (f == 71) roll_left = g.face_x >= 400 ? 1 : 0;
      if (roll_left == 0) {
        spin = static_cast<float>(180 * f - 18000);
        g.face_x += RandomInt(0, 2) + 2;
      } else {
        spin = static_cast<float>(18000 - 180 * f);
        g.face_x -= RandomInt(-2, 0) + 2;
      }
    }
    SetRotation(spin / 30);
    DrawFaceImage(g.face_x, g.face_y);
    SetRotation(0);

    UpdateCursor(0.8f);
    WaitFrame();

    if (g.stage_frame == 140) SetStage(8);
    if (CursorDistance() < 45 && g.mouse_clicked != 0) SetStage(9);
    Flip(-1);
  }
}

void RunStage8() {
  int& dist_before = g.scene_var_3;
  int& dist_after = g.scene_var_4;

  while (g.stage == 8) {
    const int f = g.stage_frame;
    if (f == 0) ScheduleBlink(50, 70);
    if (f < 3) {
      // Three quick steps toward the cursor.
      if (g.cursor_x < g.face_x) {
        g.face_x -= 4;
      } else if (g.face_x < g.cursor_x) {
        g.face_x += 4;
      }
      if (g.cursor_y < g.face_y) {
        g.face_y -= 3;
      } else if (g.face_y < g.cursor_y) {
        g.face_y += 3;
      }
    }

    DrawWatchfulFace();

    DrawFaceImage(g.face_x, g.face_y);
    dist_before = CursorDistance();
    UpdateCursor(0.8f);
    dist_after = CursorDistance();
    WaitFrame();

    if (dist_after < dist_before && dist_after < 85) SetStage(11);
    if (g.stage_frame == 120) SetStage(12);
    Flip(-1);
  }
}

void RunStage9() {
  int& hop_start_y = g.scene_var_2;
  int& hop_height = g.scene_var_3;
  int& hop_drift = g.scene_var_4;
  int& dist_before = g.scene_var_5;
  int& dist_after = g.scene_var_6;

  while (g.stage == 9) {
    const int f = g.stage_frame;

    // Wide eyes with small pupils.
    BeginFaceCanvas();
    DrawFaceDisc();
    SetColor(255, 255, 255);
    DrawOval(9, g.look_y / 3 + 24, 32, 32);
    DrawOval(49, g.look_y / 3 + 24, 32, 32);
    SetColor(0, 0, 0);
    DrawOval(g.look_x + 16, g.look_y + 31, 18, 18);
    DrawOval(g.look_x + 56, g.look_y + 31, 18, 18);
    DrawBlink(50, 260);
    SetColor(0, 0, 0);
    DrawLine(38, 68, 52, 68);
    GrabFaceCanvas();

    if (f == 0) {
      // Jump away from the cursor: high when it is level with or below the face, low when above.
      g.scene_var_1 = g.face_x;
      hop_start_y = g.face_y;
      hop_height = g.cursor_y >= g.face_y ? 110 : 10;
      hop_drift = g.cursor_x <= g.face_x ? 300 : -300;
    }
    if (f <= 14) {
      g.face_x += hop_drift / 16;
      // Near a side edge the face turns back with 70 % of its speed.
      if (g.face_x > 700 || g.face_x < 100) hop_drift = TruncToInt(-hop_drift * double{0.7f});
      g.face_y = JumpY(hop_start_y, hop_height, f - 10, 10);
    }
    DrawFaceImage(g.face_x, g.face_y);

    dist_before = CursorDistance();
    UpdateCursor(0.8f);
    dist_after = CursorDistance();
    WaitFrame();

    if (dist_after < dist_before && dist_after < 85 && g.stage_frame > 1) SetStage(11);
    if (g.stage_frame == 150 && !g.yawned) SetStage(10);
    if (g.yawned && g.stage_frame == 150) SetStage(12);
    Flip(-1);
  }
}
