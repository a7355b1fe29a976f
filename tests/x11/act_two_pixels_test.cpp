// Distinctive frames of act two as they really appear: played by the harness with the OpenGL
// driver on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "draw2d/pixmap.h"
#include "resources/embedded_files.h"
#include "resources/png_loader.h"
#include "tests/support/pixel_play.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kBlack{0, 0, 0};
constexpr RGB kGrey{180, 180, 180};

class ActTwoPixels : public PixelPlayTest {
 protected:
  // Plays `stage` from its first frame, as `setup` leaves the game, and returns the screen of the
  // frame drawn with stage_frame `f`. The cursor rests in the bottom-left corner.
  std::shared_ptr<TPixmap> ScreenOf(int stage, int f, std::function<void()> setup = {}) {
    return ScreenOfFrame(server(), stage, f, 600, [stage, setup] {
      g.stage = stage;
      g.cursor_x = 60;
      g.cursor_y = 560;
      if (setup) setup();
    });
  }
};

}  // namespace

// Frame 45: the mouth held wide open (a 30x25 hole at canvas (30, 54)), the red mouth picture
// centred 25 pixels below the face centre showing through it.
TEST_F(ActTwoPixels, Stage10GapingHoleShowsTheRedMouthBehindTheFace) {
  auto screen = ScreenOf(10, 45);
  ASSERT_TRUE(screen);
  constexpr int kLeft = 355, kTop = 255;  // the face centred on (400, 300)
  auto at = [&](int x, int y) { return PixelAt(*screen, kLeft + x, kTop + y); };
  RegisterBuiltinPictures();
  auto mouth = LoadPixmap("incbin::mouth1.png");
  ASSERT_TRUE(mouth);

  const int mouth_left = 400 - mouth->width / 2, mouth_top = 325 - mouth->height / 2;
  int shown = 0;
  for (int my = 1; my < mouth->height - 1; ++my) {
    for (int mx = 1; mx < mouth->width - 1; ++mx) {
      const int sx = mouth_left + mx, sy = mouth_top + my;
      // Well inside the hole (centre (45, 66.5), radii 15 and 12.5), away from its rim.
      const double ex = (sx - kLeft + 0.5 - 45.0) / 15.0, ey = (sy - kTop + 0.5 - 66.5) / 12.5;
      if (ex * ex + ey * ey > 0.7) continue;
      uint8_t rgba[4];
      mouth->GetRGBA(mx, my, rgba);
      if (rgba[3] != 255) continue;
      EXPECT_TRUE(Near(PixelAt(*screen, sx, sy), RGB{rgba[0], rgba[1], rgba[2]}))
          << "mouth pixel (" << mx << ", " << my << ") at (" << sx << ", " << sy << ")";
      ++shown;
    }
  }
  EXPECT_GT(shown, 40) << "too little of the mouth picture checked";
  // The top of the hole, above the picture, shows the black behind the face; face around it.
  EXPECT_TRUE(Near(at(45, 57), kBlack)) << "hole above the picture";
  EXPECT_TRUE(Near(at(45, 51), kYellow)) << "face above the hole";
  EXPECT_TRUE(Near(at(25, 70), kYellow)) << "face beside the hole";
  // Wide eyes: a grey rim one pixel deep under each white (the cursor below lowers them by 1).
  EXPECT_TRUE(Near(at(25, 54), kGrey)) << "left rim";
  EXPECT_TRUE(Near(at(65, 54), kGrey)) << "right rim";
  EXPECT_TRUE(Near(at(25, 52), kWhite) || Near(at(25, 52), kBlack)) << "left eye above its rim";
  EXPECT_EQ(CountColour(*screen, RGB{0, 0, 255}), 0) << "the hole's blue reached the screen";
}

// Frame 20 of the face copying a stroke to the right: it has travelled 40 pixels and looks the way
// it goes, although the cursor lies down to its left.
TEST_F(ActTwoPixels, Stage14FaceLooksWhereItTravelsNotAtTheCursor) {
  auto screen = ScreenOf(14, 20, [] {
    g.scene_var_3 = 100;  // where stage 13's stroke began
    g.scene_var_4 = 500;
    g.scene_var_5 = 140;  // and where it went: 40 pixels to the right
    g.scene_var_6 = 500;
  });
  ASSERT_TRUE(screen);
  constexpr int kLeft = 395, kTop = 255;  // the face centred on (440, 300)
  auto at = [&](int x, int y) { return PixelAt(*screen, kLeft + x, kTop + y); };
  // Pupils pushed 4 to the right and level (x 19..38 and 59..78, y 30..49) in unlowered whites.
  EXPECT_TRUE(Near(at(37, 40), kBlack)) << "left pupil, right edge";
  EXPECT_TRUE(Near(at(77, 40), kBlack)) << "right pupil, right edge";
  EXPECT_TRUE(Near(at(18, 40), kWhite)) << "left eye white, just left of the pupil";
  EXPECT_TRUE(Near(at(58, 40), kWhite)) << "right eye white, just left of the pupil";
  EXPECT_TRUE(Near(at(12, 40), kWhite)) << "left eye white where a cursor-led pupil would be";
  EXPECT_TRUE(Near(at(25, 27), kWhite)) << "white top at y 25, not lowered";
  // The slanting mouth from (33, 68) to (63, 67), and the face's old place left empty.
  EXPECT_TRUE(Near(at(34, 68), kBlack)) << "mouth, left end";
  EXPECT_TRUE(Near(at(62, 67), kBlack)) << "mouth, right end";
  EXPECT_TRUE(Near(PixelAt(*screen, 365, 300), kBlack)) << "where the face started";
}
