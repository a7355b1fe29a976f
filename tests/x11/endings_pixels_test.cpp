// Frames of the endings as they really appear: played by the harness with the OpenGL driver on a
// real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "draw2d/pixmap.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kRed{241, 0, 0};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};

class EndingsPixels : public PixelPlayTest {
 protected:
  // Plays `stage` from its start with the face at (face_x, face_y) and the cursor far off in the
  // bottom-left corner, and returns the screen of the frame drawn with stage_frame `f`.
  std::shared_ptr<TPixmap> ScreenOf(int stage, int f, int face_x, int face_y) {
    auto setup = [=] {
      g.stage = stage;
      g.stage_frame = 0;
      g.face_x = face_x;
      g.face_y = face_y;
      g.cursor_x = 60;
      g.cursor_y = 560;
    };
    // Counting passes rather than reading stage_frame also finds a stage's last frame, whose
    // decisions have already handed over.
    return ScreenWhen(server(), 800, setup, [f, passes = 0](const GameState&) mutable {
      return passes++ == f;
    });
  }
};

// Canvas pixel (x, y) of a face drawn centred on (400, 300).
std::function<RGB(int, int)> FaceAt(const TPixmap& screen, int face_x = 400, int face_y = 300) {
  return [&screen, face_x, face_y](int x, int y) {
    return PixelAt(screen, face_x - 45 + x, face_y - 45 + y);
  };
}

}  // namespace

TEST_F(EndingsPixels, Stage50ReddensStaresAndBaresItsTeeth) {
  auto reddening = ScreenOf(50, 75, 400, 300);
  ASSERT_TRUE(reddening);
  // Half way through the reddening: green 230 - 4.6 x 25, blue 63 - 1.26 x 25, truncated.
  EXPECT_TRUE(Near(FaceAt(*reddening)(45, 10), RGB{241, 115, 31}));

  auto red = ScreenOf(50, 110, 400, 300);
  ASSERT_TRUE(red);
  auto at = FaceAt(*red);
  EXPECT_TRUE(Near(at(45, 10), kRed)) << "forehead";
  EXPECT_TRUE(Near(at(6, 50), kRed)) << "cheek";
  EXPECT_TRUE(Near(at(12, 40), kWhite)) << "eye white left of the pupil";
  EXPECT_TRUE(Near(at(25, 40), kBlack)) << "pupil held straight ahead";
  EXPECT_TRUE(Near(at(65, 40), kBlack)) << "right pupil held straight ahead";
  EXPECT_TRUE(Near(at(45, 69), kBlack)) << "mouth line";
  EXPECT_EQ(CountColour(*red, RGB{0, 0, 255}), 0) << "the canvas blue must never show";

  auto angry = ScreenOf(50, 140, 400, 300);  // bared teeth, before the first jump
  ASSERT_TRUE(angry);
  auto bared = FaceAt(*angry);
  EXPECT_TRUE(Near(bared(45, 10), kRed));
  EXPECT_TRUE(Near(bared(42, 66), kWhite)) << "tooth";
  EXPECT_TRUE(Near(bared(44, 66), kBlack)) << "gap between teeth";
  EXPECT_TRUE(Near(bared(45, 65), kBlack)) << "lip";
}

// The sleeping face fades over frames 351..490 with alpha (490 - f) / 140, a real: half way it
// is drawn at half strength over the black screen, and at 490 it is gone.
TEST_F(EndingsPixels, Stage48FadesTheSleepingFaceSmoothly) {
  auto full = ScreenOf(48, 340, 400, 40);
  ASSERT_TRUE(full);
  EXPECT_TRUE(Near(FaceAt(*full, 400, 40)(45, 20), kYellow));

  auto half = ScreenOf(48, 420, 400, 40);
  ASSERT_TRUE(half);
  EXPECT_TRUE(Near(FaceAt(*half, 400, 40)(45, 20), RGB{120, 115, 31}));

  auto gone = ScreenOf(48, 490, 400, 40);
  ASSERT_TRUE(gone);
  EXPECT_EQ(CountColour(*gone, kBlack), 800 * 600);
}
