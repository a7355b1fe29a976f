// Distinctive frames of act one as they really appear: played by the harness with the OpenGL
// driver on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "resources/embedded_files.h"
#include "resources/png_loader.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};

// The face is drawn centred on (400, 300): canvas pixel (x, y) lands on (355 + x, 255 + y).
constexpr int kCanvasLeft = 355, kCanvasTop = 255;

class ActOnePixels : public PixelPlayTest {
 protected:
  // Plays `stage` from its start (the title's flattened face, squash 6) and returns the screen of
  // the frame drawn with stage_frame `f`.
  std::shared_ptr<TPixmap> ScreenOf(int stage, int f) {
    return ScreenOfFrame(server(), stage, f, 600, [stage] {
      g.stage = stage;
      g.stage_frame = stage == 3 ? 1 : 0;  // stage 2 hands over to 3 before its WaitFrame
      g.squash = 6;
      g.cursor_x = 60;  // far from the face, out of its sight
      g.cursor_y = 560;
    });
  }
};

}  // namespace

TEST_F(ActOnePixels, Stage2OpensOneEyeHalfway) {
  auto screen = ScreenOf(2, 50);
  ASSERT_TRUE(screen);
  auto at = [&](int x, int y) { return PixelAt(*screen, kCanvasLeft + x, kCanvasTop + y); };
  // Left eye: the lid covers its upper half, the lower half shows white around the pupil.
  EXPECT_TRUE(Near(at(25, 33), kYellow)) << "lid";
  EXPECT_TRUE(Near(at(13, 47), kWhite)) << "eye white, left of the pupil";
  EXPECT_TRUE(Near(at(37, 47), kWhite)) << "eye white, right of the pupil";
  EXPECT_TRUE(Near(at(25, 50), kBlack)) << "pupil";
  // Right eye still shut: face colour where its white would be.
  EXPECT_TRUE(Near(at(65, 42), kYellow)) << "closed right eye";
}

TEST_F(ActOnePixels, Stage3YawnHoleShowsTheMouthPictureBehindTheFace) {
  auto screen = ScreenOf(3, 160);  // the yawn held wide open
  ASSERT_TRUE(screen);
  RegisterBuiltinPictures();
  auto mouth = LoadPixmap("incbin::mouth1.png");
  ASSERT_TRUE(mouth);

  // The mouth picture (30x16) is centred on (400, 325), behind the face; through the hole
  // (canvas 30..59 x 47..77) its opaque pixels show exactly.
  const int mouth_left = 400 - mouth->width / 2, mouth_top = 325 - mouth->height / 2;
  int shown = 0;
  for (int my = 0; my < mouth->height; ++my) {
    for (int mx = 0; mx < mouth->width; ++mx) {
      const int sx = mouth_left + mx, sy = mouth_top + my;
      const int cx = sx - kCanvasLeft, cy = sy - kCanvasTop;
      // Well inside the hole, where no edge of the oval or of the picture is involved.
      const double ex = (cx + 0.5 - 45.0) / 15.0, ey = (cy + 0.5 - 62.5) / 15.5;
      if (ex * ex + ey * ey > 0.7) continue;
      uint8_t rgba[4];
      mouth->GetRGBA(mx, my, rgba);
      if (rgba[3] != 255 || mx == 0 || my == 0 || mx == mouth->width - 1 ||
          my == mouth->height - 1) {
        continue;
      }
      EXPECT_TRUE(Near(PixelAt(*screen, sx, sy), RGB{rgba[0], rgba[1], rgba[2]}))
          << "mouth pixel (" << mx << ", " << my << ") at (" << sx << ", " << sy << ")";
      ++shown;
    }
  }
  EXPECT_GT(shown, 40) << "too little of the mouth picture checked";

  // Above the picture the hole shows the black background; beside the hole, the face.
  EXPECT_TRUE(Near(PixelAt(*screen, kCanvasLeft + 45, kCanvasTop + 52), kBlack));
  EXPECT_TRUE(Near(PixelAt(*screen, kCanvasLeft + 20, kCanvasTop + 70), kYellow));
  // The blue that made the hole never reaches the screen.
  EXPECT_EQ(CountColour(*screen, RGB{0, 0, 255}), 0);
}
