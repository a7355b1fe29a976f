// The face as the game really draws it: the title played by the harness with the OpenGL driver
// on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "tests/support/x_server.h"
#include "tests/support/play_harness.h"

namespace {

struct RGB {
  int r, g, b;
};

RGB PixelAt(const TPixmap& p, int x, int y) {
  uint8_t rgba[4];
  p.GetRGBA(x, y, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

bool Near(RGB a, RGB b, int tolerance = 2) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

}  // namespace

TEST(FacePixels, TheGrabbedFaceShowsYellowWithoutItsBlueCanvas) {
  std::string error;
  auto server = TestXServer::StartXorgDummy(&error);
  ASSERT_TRUE(server) << "cannot start the dummy X server: " << error;

  PlayOptions options;
  options.draw = DrawMode::OpenGL;
  options.display = server->display_name();
  options.max_frames = 101;
  std::shared_ptr<TPixmap> screen;
  PlayResult result = Play(options, [&](PlayerControl& p) {
    // Frame 100: the shade is gone, the title is fading in beside the face.
    if (p.frame() == 100) screen = CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600);
  });
  ASSERT_EQ(result.frames, 101) << "the run ended early (exit status " << result.exit_status << ")";
  ASSERT_TRUE(screen);

  int blue = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const RGB c = PixelAt(*screen, x, y);
      if (c.r == 0 && c.g == 0 && c.b == 255) ++blue;
    }
  }
  EXPECT_EQ(blue, 0) << "the canvas background shows";

  const RGB yellow{241, 230, 63};
  const RGB black{0, 0, 0};
  for (auto [x, y] : {std::pair{400, 300}, {362, 300}, {438, 300}, {400, 335}, {400, 262}}) {
    const RGB c = PixelAt(*screen, x, y);
    EXPECT_TRUE(Near(c, yellow)) << "(" << x << ", " << y << ") is " << c.r << "," << c.g << ","
                                 << c.b;
  }
  // Outside the disc but inside the face image, and the canvas corner: black.
  for (auto [x, y] : {std::pair{357, 257}, {443, 257}, {10, 10}, {80, 80}}) {
    const RGB c = PixelAt(*screen, x, y);
    EXPECT_TRUE(Near(c, black)) << "(" << x << ", " << y << ") is " << c.r << "," << c.g << ","
                                << c.b;
  }
}
