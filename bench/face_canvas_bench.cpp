// What one frame of the face costs on the dummy X server with Mesa: the canvas primitives, the
// 90x90 grab, the mask pass and the texture upload, then the face drawn back. Prints figures
// (CPU time per frame and the grab + mask + upload share); never fails on speed.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/face_canvas.h"
#include "tests/support/x_server.h"

namespace {

double CpuMicros() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  long frames = argc > 1 ? std::atol(argv[1]) : 2000;
  if (frames <= 0) frames = 2000;
  std::string error;
  auto server = TestXServer::StartXorgDummy(&error);
  if (!server) {
    std::fprintf(stderr, "face_canvas_bench: cannot start the dummy X server: %s\n", error.c_str());
    return 1;
  }
  setenv("DISPLAY", server->display_name().c_str(), 1);
  TLinuxSystemDriver system_driver;
  TGLQuill2DDriver draw_driver;
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver, 2);
  AutoMidHandle(true);
  if (!OpenGraphics(800, 600, 32, 60, 0)) {
    std::fprintf(stderr, "face_canvas_bench: no display on %s\n", server->display_name().c_str());
    return 1;
  }
  auto face = CreateImage(90, 90, 1, 9);

  double grab_total = 0;
  double start = CpuMicros();
  for (long i = 0; i < frames; ++i) {
    DrawPrimitiveFace(2, 1);
    double t0 = CpuMicros();
    SetMaskColor(0, 0, 255);
    GrabImage(face.get(), 0, 0);
    face->Frame(0);  // builds and uploads the texture now rather than inside DrawImage
    grab_total += CpuMicros() - t0;
    Cls();
    SetColor(255, 255, 255);
    DrawImage(face.get(), 400, 300);
    Flip(0);
  }
  double total = CpuMicros() - start;

  std::printf("face canvas: %ld frames, %.1f us CPU per frame\n", frames, total / frames);
  std::printf("grab + mask + upload: %.1f us per frame (%.0f%% of the frame)\n",
              grab_total / frames, total > 0 ? 100.0 * grab_total / total : 0.0);
  CloseGraphics();
  SetGraphicsDriver(nullptr, 2);
  SetSystemDriver(nullptr);
  CloseXConnection();
  return 0;
}
