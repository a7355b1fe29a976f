// Stage 29's laughing face as it really appears: played by the harness with the OpenGL driver on
// a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kBlack{0, 0, 0};
constexpr RGB kMouthDark{112, 14, 22};  // the inside of the open mouth picture

class LaughPixels : public PixelPlayTest {
 protected:
  // Stage 29 from its start (as stage 17 hands over, the cursor far off), face at (400, 300): the
  // screen of the frame drawn with stage_frame `f`.
  std::shared_ptr<TPixmap> ScreenOf(int f) {
    return ScreenOfFrame(server(), 29, f, 400, [] {
      g.stage = 29;
      g.cursor_x = 60;
      g.cursor_y = 560;
    });
  }
};

}  // namespace

// Frame 40 is 6 pixels into the bounce, frame 46 its top.
TEST_F(LaughPixels, Stage29LaughsWithItsEyesShutInArcsBobbingToTheBeat) {
  auto low = ScreenOf(40);
  auto high = ScreenOf(46);
  ASSERT_TRUE(low && high);
  // Canvas pixel (x, y) lands on (355 + x, 255 + y).
  auto at = [](const TPixmap& screen, int x, int y) { return PixelAt(screen, 355 + x, 255 + y); };
  auto rim_in = [&](const TPixmap& screen, int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) {
      if (Near(at(screen, x, y), kBlack)) return true;
    }
    return false;
  };

  EXPECT_TRUE(Near(at(*low, 45, 5), kBlack)) << "the top of the face has dropped by 6";
  EXPECT_TRUE(Near(at(*low, 45, 7), kYellow));
  EXPECT_TRUE(Near(at(*high, 45, 3), kYellow)) << "the full disc at the top of the bounce";
  for (int eye_x : {25, 65}) {
    // Shut: face colour where eye whites and pupils would be; only the lower rim is black.
    for (int y = 20; y <= 44; y += 4) EXPECT_TRUE(Near(at(*low, eye_x, y), kYellow)) << y;
    EXPECT_TRUE(rim_in(*low, eye_x, 46, 48)) << "lower rim at x " << eye_x;
    EXPECT_TRUE(Near(at(*low, eye_x, 50), kYellow));
    EXPECT_TRUE(Near(at(*low, eye_x - 13, 47), kYellow)) << "the arc's ends turn up";
    EXPECT_TRUE(rim_in(*high, eye_x, 40, 42)) << "the rim six pixels higher at x " << eye_x;
  }
  // The open mouth, stretched to 1.55 of its height at the top of the bounce, 0.8 at frame 40.
  EXPECT_TRUE(Near(at(*low, 43, 62), kMouthDark));
  EXPECT_TRUE(Near(at(*high, 43, 58), kMouthDark));
  EXPECT_TRUE(Near(at(*low, 43, 57), kYellow));
  // The blue of the canvas never reaches the screen.
  EXPECT_EQ(CountColour(*low, RGB{0, 0, 255}), 0);
}
