// The charging face as it really appears on a real X server (OpenGL driver), read back just
// before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "resources/embedded_files.h"
#include "resources/png_loader.h"
#include "tests/support/pixel_play.h"

class FightPixels : public PixelPlayTest {};

TEST_F(FightPixels, TheChargeGlaresWithWidePupilsAndAnOpenMouth) {
  int left = 0, top = 0;  // where canvas pixel (0, 0) lands
  std::shared_ptr<TPixmap> screen = ScreenWhen(
      server(), 2000,
      [] {
        g.stage = 30;  // as the laughing stage 29 leaves it, the cursor far up and left
        g.cursor_x = 60, g.cursor_y = 40;
        g.blink_due = 100000;
      },
      [&](const GameState& s) {
        if (s.stage != 30 || s.stage_frame != s.stage_scratch_a + 1) return false;  // charge_frame
        left = s.face_x - 45, top = s.face_y - 45;
        return true;
      });
  ASSERT_TRUE(screen);
  auto at = [&](int x, int y) { return PixelAt(*screen, left + x, top + y); };

  // Wide pupils (1.2 and 1.3 times the gaze): the left one pokes out of its eye white on the
  // left and above, where an ordinary pupil stays inside.
  EXPECT_TRUE(Near(at(9, 33), RGB{0, 0, 0})) << "left of the eye white";
  EXPECT_TRUE(Near(at(19, 24), RGB{0, 0, 0})) << "above the eye white";
  EXPECT_TRUE(Near(at(7, 33), RGB{241, 230, 63})) << "the face beside the pupil";

  // The open mouth, every opaque inner pixel of its picture as it is.
  RegisterBuiltinPictures();
  auto mouth = LoadPixmap("incbin::mouth1.png");
  ASSERT_TRUE(mouth);
  int shown = 0;
  for (int my = 1; my < mouth->height - 1; ++my) {
    for (int mx = 1; mx < mouth->width - 1; ++mx) {
      uint8_t c[4];
      mouth->GetRGBA(mx, my, c);
      if (c[3] != 255) continue;
      ++shown;
      EXPECT_TRUE(
          Near(at(45 - mouth->width / 2 + mx, 70 - mouth->height / 2 + my), RGB{c[0], c[1], c[2]}));
    }
  }
  EXPECT_GT(shown, 40);
  EXPECT_EQ(CountColour(*screen, RGB{0, 0, 255}), 0) << "the canvas blue never shows";
}
