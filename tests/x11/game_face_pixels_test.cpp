// The face as the game really draws it: the title played by the harness with the OpenGL driver
// on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "tests/support/pixel_play.h"

using FacePixels = PixelPlayTest;

TEST_F(FacePixels, TheGrabbedFaceShowsYellowWithoutItsBlueCanvas) {
  PlayOptions options = OpenGLPlayOptions(server(), 101);
  std::shared_ptr<TPixmap> screen;
  PlayResult result = Play(options, [&](PlayerControl& p) {
    // Frame 100: the shade is gone, the title is fading in beside the face.
    if (p.frame() == 100) screen = CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600);
  });
  ASSERT_EQ(result.frames, 101) << "the run ended early (exit status " << result.exit_status << ")";
  ASSERT_TRUE(screen);

  EXPECT_EQ(CountColour(*screen, RGB{0, 0, 255}), 0) << "the canvas background shows";

  const RGB yellow{241, 230, 63};
  const RGB black{0, 0, 0};
  for (auto [x, y] : {std::pair{400, 300}, {362, 300}, {438, 300}, {400, 335}, {400, 262}}) {
    EXPECT_TRUE(Near(PixelAt(*screen, x, y), yellow)) << "at (" << x << ", " << y << ")";
  }
  // Outside the disc but inside the face image, and the canvas corner: black.
  for (auto [x, y] : {std::pair{357, 257}, {443, 257}, {10, 10}, {80, 80}}) {
    EXPECT_TRUE(Near(PixelAt(*screen, x, y), black)) << "at (" << x << ", " << y << ")";
  }
}
