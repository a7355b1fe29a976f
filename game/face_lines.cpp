#include "game/face_lines.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/face.h"
#include "game/state.h"

void DrawWorryLines() {
  SetColor(120, 115, 31);
  DrawLine(7, 33, 16, 23);
  DrawLine(83, 33, 74, 23);
}

void DrawShutEyes(int y) {
  DrawShutEyeRims(y);
  DrawShutEyeLids(y);
}

void DrawShutEyeRims(int y) {
  SetColor(0, 0, 0);
  DrawOval(10, y, 30, 30);
  DrawOval(50, y, 30, 30);
}

void DrawShutEyeLids(int y) {
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawOval(10, y - 1, 30, 30);
  DrawOval(50, y - 1, 30, 30);
}

void DrawSlantedLids() {
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  SetRotation(45);
  DrawRect(17, 20, 7, 19);
  SetRotation(-45);
  DrawRect(69, 25, 7, 19);
  SetRotation(0);
}

void DrawHeavyLiddedEyes() {
  DrawEyes(25, g.look_x, g.look_y / 2);
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawRect(10, 25, 70, 13);
  SetColor(0, 0, 0);
  DrawLine(10, 38, 40, 38);
  DrawLine(50, 38, 80, 38);
}

void DrawFrown(int x, int y) {
  SetColor(255, 255, 255);
  SetBlend(3);
  SetAlpha(1.0f);
  DrawImage(g.mouth4_image.get(), x, y, 0);
  SetBlend(1);
}

void DrawBaredTeeth(int y, const int (&teeth)[3], const int (&creases)[3]) {
  DrawRect(35, y, 20, 4);
  SetColor(teeth[0], teeth[1], teeth[2]);
  DrawRect(36, y + 1, 18, 2);
  SetColor(0, 0, 0);
  DrawLine(39, y + 1, 39, y + 2);
  DrawLine(44, y + 1, 44, y + 2);
  DrawLine(50, y + 1, 50, y + 2);
  SetColor(creases[0], creases[1], creases[2]);
  DrawLine(33, y + 1, 36, y - 2);
  DrawLine(53, y - 2, 56, y + 1);
}
