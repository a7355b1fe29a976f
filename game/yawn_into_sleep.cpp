#include "game/yawn_into_sleep.h"

#include "draw2d/render_state.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

void UpdateBreath(int t, int frame, int& breath) {
  if (t == 0) {
    breath = 0;
  } else if (148 <= t && t <= 164) {
    breath = (t - 147) / 3;
  } else if (t >= 166) {
    breath = Abs(15 - (frame + 10) % 180 / 6) - 4;
    if (breath < 1) breath = 1;
    if (breath > 6) breath = 6;
  }
}

// Top of the shut eyes' black circles.
int ShutEyesY(int t, int breath) {
  if (t <= 8) return 20 - t / 3;
  if (t <= 74) return 10;
  if (t <= 104) return (t - 75) / 2 + 10;
  return 25 - breath / 3;
}

void SetHoleColor() { SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]); }

void DrawYawnMouth(int t, int breath, int& yawn_jitter) {
  if (t <= 44) {
    const int opening = (t - 45) / 3;  // -15 .. 0
    SetHoleColor();
    DrawOval(29, 47 - opening, 32, opening * 2 + 31);
  } else if (t <= 74) {
    yawn_jitter = RandomInt(0, 2);
    SetHoleColor();
    DrawOval(29, 47 - yawn_jitter, 32, yawn_jitter * 2 + 31);
  } else if (t <= 104) {
    SetHoleColor();
    DrawOval(29, (t - 75) / 2 + 47, 32, 106 - t);
  } else {
    SetColor(0, 0, 0);
    DrawLine(34, 62 - breath / 3, 56, 62 - breath / 3);
  }
}

}  // namespace

void DrawYawnIntoSleep(int t, int frame, int& breath, int& yawn_jitter) {
  UpdateBreath(t, frame, breath);
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawOval(0, 0, 90, 90 - breath);
  DrawShutEyes(ShutEyesY(t, breath));
  DrawYawnMouth(t, breath, yawn_jitter);
}
