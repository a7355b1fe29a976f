#include "game/watchful_face.h"

#include "draw2d/render_state.h"
#include "game/face.h"
#include "game/state.h"

void DrawWatchfulFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawEyes(g.look_y / 4 + 25, g.look_x, g.look_y);
  DrawBlink(50, 260);
  SetColor(0, 0, 0);
  DrawLine(38, 68, 52, 68);
  GrabFaceCanvas();
}
