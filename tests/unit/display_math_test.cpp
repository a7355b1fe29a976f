// The display's arithmetic: refresh rates and the choice of mode, where the scaled picture goes,
// and the pointer mapping around the centres.
#include <gtest/gtest.h>

#include <vector>

#include "display/display_math.h"

namespace {

VideoModeTiming Mode(int dotclock, int hdisplay, int htotal, int vdisplay, int vtotal,
                     unsigned flags = 0) {
  VideoModeTiming m;
  m.dotclock_khz = dotclock;
  m.hdisplay = hdisplay;
  m.htotal = htotal;
  m.vdisplay = vdisplay;
  m.vtotal = vtotal;
  m.flags = flags;
  return m;
}

TEST(DisplayMath, RefreshRatesRoundAndFollowInterlaceAndDoubleScan) {
  EXPECT_EQ(ModeRefreshRate(Mode(40000, 800, 1056, 600, 628)), 60);   // 60.32
  EXPECT_EQ(ModeRefreshRate(Mode(65000, 1024, 1344, 768, 806)), 60);  // 60.00
  EXPECT_EQ(ModeRefreshRate(Mode(49500, 800, 1056, 600, 625)), 75);   // 75.00
  EXPECT_EQ(ModeRefreshRate(Mode(36000, 800, 1024, 600, 625)), 56);   // 56.25
  EXPECT_EQ(ModeRefreshRate(Mode(36200, 800, 1024, 600, 625)), 57);   // 56.56 rounds up
  EXPECT_EQ(ModeRefreshRate(Mode(20000, 800, 1056, 600, 628, kModeInterlace)), 60);
  EXPECT_EQ(ModeRefreshRate(Mode(80000, 800, 1056, 600, 628, kModeDoubleScan)), 60);
  EXPECT_EQ(ModeRefreshRate(Mode(40000, 800, 0, 600, 628)), 0);  // broken line, no division
}

TEST(DisplayMath, ChoosesTheRequestedRateElseTheFirstModeOfTheSize) {
  std::vector<VideoModeTiming> modes{
      Mode(65000, 1024, 1344, 768, 806),  // 1024x768 60
      Mode(49500, 800, 1056, 600, 625),   // 800x600 75
      Mode(40000, 800, 1056, 600, 628),   // 800x600 60
      Mode(36000, 800, 1024, 600, 625),   // 800x600 56
  };
  EXPECT_EQ(ChooseVideoMode(modes, 800, 600, 60), 2);
  EXPECT_EQ(ChooseVideoMode(modes, 800, 600, 85), 1);
  EXPECT_EQ(ChooseVideoMode(modes, 640, 480, 60), -1);
  EXPECT_EQ(ChooseVideoMode({}, 800, 600, 60), -1);
}

void ExpectRect(const PictureRect& r, int x, int y, int w, int h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.w, w);
  EXPECT_EQ(r.h, h);
}

TEST(DisplayMath, ThePictureFitsCentredWithItsAspectKept) {
  ExpectRect(FitPicture(1024, 768, 800, 600), 0, 0, 1024, 768);  // scale 1.28
  ExpectRect(FitPicture(800, 600, 800, 600), 0, 0, 800, 600);
  ExpectRect(FitPicture(1280, 720, 800, 600), 160, 0, 960, 720);  // bars left and right
  ExpectRect(FitPicture(1920, 1080, 800, 600), 240, 0, 1440, 1080);
  ExpectRect(FitPicture(1280, 1024, 800, 600), 0, 32, 1280, 960);  // bars above and below
  ExpectRect(FitPicture(640, 400, 800, 600), 53, 0, 533, 400);     // smaller than the picture
  ExpectRect(FitPicture(0, 768, 800, 600), 0, 0, 0, 0);
}

TEST(DisplayMath, PointerMappingIsOneToOneAroundTheCentres) {
  CentredMapping map{512, 384, 400, 300};
  int x = 512, y = 384;
  map.WindowToGame(x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  x = 513;  // one window pixel is one game pixel at any scale
  y = 381;
  map.WindowToGame(x, y);
  EXPECT_EQ(x, 401);
  EXPECT_EQ(y, 297);
  map.GameToWindow(x, y);
  EXPECT_EQ(x, 513);
  EXPECT_EQ(y, 381);
}

}  // namespace
