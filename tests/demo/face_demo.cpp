// A face built from primitives on the face canvas, grabbed and drawn back at the centre every
// frame, its pupils following the pointer. Runs on $DISPLAY until Escape.
#include <cstdio>

#include "display/gl_graphics.h"
#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/face_canvas.h"

namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void DrawFaceCanvas(int look_x, int look_y, bool blink) {
  DrawPrimitiveFace(look_x, look_y);
  if (blink) {
    SetColor(241, 230, 63);
    DrawOval(8, look_y / 3 + 21, 34, 34);
    DrawOval(48, look_y / 3 + 21, 34, 34);
  }
}

}  // namespace

int main() {
  TLinuxSystemDriver system_driver;
  TGLQuill2DDriver draw_driver;
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver, 2);
  AutoMidHandle(true);
  if (!OpenGraphics(800, 600, 32, 60, 0)) {
    std::fprintf(stderr, "face_demo: cannot open an OpenGL display on %s\n",
                 LastDisplayNameTried() ? LastDisplayNameTried() : "(none)");
    return 1;
  }
  auto face = CreateImage(90, 90, 1, 9);
  for (long frame = 0; KeyHits(27) == 0; ++frame) {
    int look_x = Clamp((PointerX() - 400) / 40, -5, 5);
    int look_y = Clamp((PointerY() - 300) / 40, -5, 5);
    DrawFaceCanvas(look_x, look_y, frame % 180 < 4);
    SetMaskColor(0, 0, 255);
    GrabImage(face.get(), 0, 0);
    Cls();
    SetColor(255, 255, 255);
    SetRotation(static_cast<float>(Sin(frame * 2.0) * 10.0));
    DrawImage(face.get(), 400, 300);
    SetRotation(0);
    Flip(-1);
  }
  CloseGraphics();
  return 0;
}
