// The swallowed cursor as it really appears: stage 19 played by the harness with the OpenGL
// driver on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kBlack{0, 0, 0};
// The cursor's white fill at alpha 0.7 over the face.
constexpr RGB kCursorOverFace{250, 247, 197};

// The face stays at (400, 300) (the lunge aims its centre 17 pixels above the cursor): canvas
// pixel (x, y) lands on (355 + x, 255 + y).
constexpr int kCanvasLeft = 355, kCanvasTop = 255;

// Pixels near `colour`; with `outside_face`, only those off the face's 90x90 square.
int CountNear(const TPixmap& screen, RGB colour, bool outside_face = false) {
  int count = 0;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      const bool on_face = x >= kCanvasLeft && x < kCanvasLeft + 90 && y >= kCanvasTop &&
                           y < kCanvasTop + 90;
      if (!(outside_face && on_face) && Near(PixelAt(screen, x, y), colour)) ++count;
    }
  }
  return count;
}

class SwallowedPixels : public PixelPlayTest {
 protected:
  // Stage 19 with the mouse left alone; the screen of the frame drawn with stage_frame `f`.
  std::shared_ptr<TPixmap> ScreenOf(int f) {
    return ScreenOfFrame(server(), 19, f, 100, [] {
      g.stage = 19;
      g.face_x = 400;
      g.face_y = 300;
      g.cursor_x = 400;
      g.cursor_y = 317;
      g.blink_due = 1000;  // eyes open throughout
    });
  }
};

}  // namespace

TEST_F(SwallowedPixels, TheCursorIsGoneAndTheFaceWearsTheWavyMouth) {
  // Before the swallow the cursor shows over the face: the colour the check looks for is there.
  auto before = ScreenOf(5);
  ASSERT_TRUE(before);
  EXPECT_GT(CountNear(*before, kCursorOverFace), 10);

  auto screen = ScreenOf(25);
  ASSERT_TRUE(screen);
  EXPECT_EQ(CountNear(*screen, kCursorOverFace), 0);
  // Off the face, nothing but the black background.
  EXPECT_EQ(CountNear(*screen, kBlack, true), 800 * 600 - 90 * 90);

  // The wavy mouth drawn at alpha 0.9 over the face: its black line shows as a tenth of the
  // yellow, low in the middle and curling up at both ends; the straight line's middle is bare.
  auto at = [&](int x, int y) { return PixelAt(*screen, kCanvasLeft + x, kCanvasTop + y); };
  const RGB dark{kYellow.r / 10, kYellow.g / 10, kYellow.b / 10};
  EXPECT_TRUE(Near(at(45, 68), dark)) << "middle of the wave";
  EXPECT_TRUE(Near(at(30, 62), dark)) << "left curl";
  EXPECT_TRUE(Near(at(59, 62), dark)) << "right curl";
  EXPECT_TRUE(Near(at(40, 66), kYellow)) << "where a straight mouth would be";
}
