#include "tests/support/face_canvas.h"

#include "draw2d/render_state.h"

void DrawPrimitiveFace(int look_x, int look_y) {
  SetBlend(1);
  SetColor(0, 0, 255);
  DrawRect(0, 0, 90, 90);
  SetColor(241, 230, 63);
  DrawOval(0, 0, 90, 90);
  SetColor(255, 255, 255);
  DrawOval(10, look_y / 3 + 25, 30, 30);
  DrawOval(50, look_y / 3 + 25, 30, 30);
  SetColor(0, 0, 0);
  DrawOval(look_x + 15, look_y + 30, 20, 20);
  DrawOval(look_x + 55, look_y + 30, 20, 20);
  DrawLine(35, 63, 55, 63, 1);
}
