#include "game/wary_face.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/state.h"
#include "system/random.h"

namespace {

// One eye white in 31 draws twitches to a slightly smaller one.
void DrawTwitchingWhite(int x) {
  const int y = g.look_y / 3;
  if (RandomInt(0, 30) < 1) {
    DrawOval(x + 1, y + 26, 28, 28);
  } else {
    DrawOval(x, y + 25, 30, 30);
  }
}

void DrawDoubledBrows() {
  SetColor(0, 0, 0);
  for (int lift = 0; lift <= 1; ++lift) {
    DrawLine(11, 27 - lift, 29, 24 - lift);
    DrawLine(29, 24 - lift, 32, 21 - lift);
    DrawLine(79, 27 - lift, 61, 24 - lift);
    DrawLine(61, 24 - lift, 58, 21 - lift);
  }
}

}  // namespace

void DrawWaryFace() {
  BeginFaceCanvas();
  DrawFaceDisc();
  SetColor(255, 255, 255);
  DrawTwitchingWhite(10);
  DrawTwitchingWhite(50);
  SetColor(0, 0, 0);
  DrawOval(g.look_x + 15, g.look_y + 30, 20, 20);
  DrawOval(g.look_x + 55, g.look_y + 30, 20, 20);
  DrawSlantedLids();
  DrawBlink(40, 250);
  DrawDoubledBrows();
  // Drawn in the brows' black; the mouth line now and then a pixel lower or higher.
  SetBlend(3);
  const int lower = RandomInt(0, 60) == 0 ? 1 : 0;
  const int higher = RandomInt(0, 80) == 0 ? 1 : 0;
  DrawImage(g.mouth5_image.get(), 45, 63 + lower - higher, 0);
  SetBlend(1);
  GrabFaceCanvas();
}
