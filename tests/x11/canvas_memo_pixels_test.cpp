// Leaving an unchanged face canvas undrawn changes no presented pixel: the game played with the
// canvas drawn and grabbed every frame shows the same screens, frame by frame, on a real X server.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "draw2d/canvas_memo.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/render_state.h"
#include "tests/support/pixel_play.h"

namespace {

// A digest of the screen, rows hashed by the standard library (fast under the sanitizers too).
uint64_t Digest(const TPixmap& p) {
  uint64_t h = 0;
  for (int y = 0; y < p.height; ++y) {
    const std::string_view row(reinterpret_cast<const char*>(p.Row(y)), p.width * 4u);
    h = h * 1099511628211ull ^ std::hash<std::string_view>{}(row);
  }
  return h;
}

class CanvasMemoPixels : public PixelPlayTest {
 protected:
  // The title, the waking and the first scenes of act one: still stretches, a hand that wanders
  // now and then, a click on the face, then a hand that never rests.
  std::vector<uint64_t> Screens(bool memo) {
    TGLQuill2DDriver::SetCanvasMemo(memo);
    std::vector<uint64_t> screens;
    PlayOptions options = OpenGLPlayOptions(server(), 1700);
    Play(options, [&](PlayerControl& p) {
      screens.push_back(Digest(*CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600)));
      const long f = p.frame();
      if (f > 420 && (f / 30) % 4 == 0) p.MoveBy(f % 41 - 20, f % 23 - 11);
      if (f == 900) p.Click();
      if (f > 1250) p.MoveBy((f / 8) % 2 == 0 ? 9 : -9, (f / 13) % 2 == 0 ? 5 : -5);
      if (f == 1600) p.PressEscape();
    });
    TGLQuill2DDriver::SetCanvasMemo(true);
    return screens;
  }
};

}  // namespace

TEST_F(CanvasMemoPixels, EveryFrameShowsTheSameWithOrWithoutDrawingAnUnchangedCanvasAgain) {
  const uint64_t reused_before = CanvasesReused();
  const std::vector<uint64_t> with = Screens(true);
  const uint64_t reused = CanvasesReused() - reused_before;
  const std::vector<uint64_t> without = Screens(false);
  EXPECT_EQ(CanvasesReused() - reused_before, reused) << "reused with the memo switched off";

  ASSERT_EQ(with.size(), without.size());
  ASSERT_GT(with.size(), 1200u);
  for (size_t i = 0; i < with.size(); ++i) {
    ASSERT_EQ(with[i], without[i]) << "first different screen: frame " << i;
  }
  // Both kinds of frame were played: canvases left out and canvases drawn anew.
  EXPECT_GT(reused, 300u);
  EXPECT_GT(with.size() - reused, 100u);
}
