// Stage 16's sulking face as it really appears on a real X server: heavy lids over eye whites
// that stay put, olive lid lines, a flat mouth with end ticks.
#include <gtest/gtest.h>

#include <memory>

#include "draw2d/pixmap.h"
#include "tests/support/pixel_play.h"

using FollowPixels = PixelPlayTest;

TEST_F(FollowPixels, Stage16HeavyLidsOverEyesLookingDownLeft) {
  auto screen = ScreenOfFrame(server(), 16, 20, 100, [] {
    g.stage = 16;
    g.cursor_x = 60;  // down and left of the face: look_x -5, look_y 5
    g.cursor_y = 560;
    g.blink_due = 1000;
  });
  ASSERT_TRUE(screen);
  // Canvas pixel (x, y) of the face centred on (400, 300).
  auto at = [&](int x, int y) { return PixelAt(*screen, 355 + x, 255 + y); };
  const RGB yellow{241, 230, 63}, olive{169, 161, 44}, white{255, 255, 255}, black{0, 0, 0};
  const struct {
    int x, y;
    RGB colour;
    const char* what;
  } expected[] = {
      {33, 33, yellow, "left lid over the eye white"}, {73, 33, yellow, "right lid"},
      {33, 38, white, "left eye white under the lid"}, {73, 38, white, "right eye white"},
      {20, 46, black, "left pupil, down and left"},    {60, 46, black, "right pupil"},
      {25, 31, olive, "lid line"},                     {40, 29, olive, "lid line's end"},
      {45, 31, yellow, "between the lid lines"},       {45, 70, black, "mouth"},
      {30, 69, black, "mouth's end tick"},             {45, 69, yellow, "above the mouth"},
  };
  for (const auto& e : expected) EXPECT_TRUE(Near(at(e.x, e.y), e.colour)) << e.what;
}
