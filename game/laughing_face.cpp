#include "game/laughing_face.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/state.h"

void DrawLaughingFace(int bounce) {
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawOval(0, bounce, 90, 90 - bounce);
  DrawShutEyes(bounce + 12);
  SetColor(255, 255, 255);
  SetScale(1.1f, static_cast<float>((10 - bounce) / 8.0 + double{0.3f}));
  DrawImage(g.mouth1_image.get(), 43, bounce / 2 + 63, 0);
  SetScale(1, 1);
}
