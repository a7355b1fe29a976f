#include "game/face_lines.h"

#include "draw2d/render_state.h"
#include "game/face.h"

void DrawWorryLines() {
  SetColor(120, 115, 31);
  DrawLine(7, 33, 16, 23);
  DrawLine(83, 33, 74, 23);
}

void DrawShutEyes(int y) {
  SetColor(0, 0, 0);
  DrawOval(10, y, 30, 30);
  DrawOval(50, y, 30, 30);
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawOval(10, y - 1, 30, 30);
  DrawOval(50, y - 1, 30, 30);
}
