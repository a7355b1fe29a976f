// The sleeping face of stage 35 fading out, as it really appears: played by the harness with the
// OpenGL driver on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kBlack{0, 0, 0};

class SleepPixels : public PixelPlayTest {
 protected:
  // Plays stage 35 from frame 800, where stage 33 hands it over, and returns the screen of the
  // frame drawn with stage_frame `f` and the breath it was drawn with.
  std::shared_ptr<TPixmap> ScreenOf(int f, int* breath) {
    auto setup = [] {
      g.stage = 35;
      g.stage_frame = 800;
      g.face_x = 400;
      g.face_y = 300;
      g.cursor_x = 60;
      g.cursor_y = 560;
    };
    return ScreenWhen(server(), 1000, setup, [f, breath](const GameState& s) {
      if (s.stage != 35 || s.stage_frame != f + 1) return false;
      *breath = s.scene_var_3;
      return true;
    });
  }
};

}  // namespace

TEST_F(SleepPixels, Stage35FacesOutAtHalfAlphaMidwayThroughItsFade) {
  int breath = 0;
  // 275 frames after the hand-over the face is at alpha 1 - 75 / 150: half the yellow on black.
  auto screen = ScreenOf(1075, &breath);
  ASSERT_TRUE(screen);
  // The face sinks with its breath: canvas pixel (x, y) lands on (355 + x, 255 + breath + y).
  auto at = [&](int x, int y) { return PixelAt(*screen, 355 + x, 255 + breath + y); };
  EXPECT_TRUE(Near(at(45, 12), RGB{120, 115, 31})) << "forehead";
  EXPECT_TRUE(Near(at(20, 70), RGB{120, 115, 31})) << "cheek";
  EXPECT_TRUE(Near(PixelAt(*screen, 300, 300), kBlack)) << "beside the face";
  EXPECT_EQ(CountColour(*screen, kYellow), 0) << "some of the face is still at full alpha";
}
