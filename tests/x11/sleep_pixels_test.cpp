// The sleeping face of stage 35 fading out, as it really appears: played by the harness with the
// OpenGL driver on a real X server, the back buffer read just before the frame is presented.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "tests/support/play_harness.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/x_server.h"

namespace {

constexpr RGB kYellow{241, 230, 63};
constexpr RGB kBlack{0, 0, 0};

class SleepPixels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    _server = TestXServer::StartXorgDummy(&error).release();
    if (_server == nullptr) FAIL() << "cannot start the dummy X server: " << error;
  }
  static void TearDownTestSuite() {
    delete _server;
    _server = nullptr;
  }

  // Plays stage 35 from frame 800, where stage 33 hands it over, and returns the screen of the
  // frame drawn with stage_frame `f` and the breath it was drawn with.
  std::shared_ptr<TPixmap> ScreenOf(int f, int* breath) {
    PlayOptions options;
    options.draw = DrawMode::OpenGL;
    options.display = _server->display_name();
    options.max_frames = 1000;
    options.setup = [] {
      g.stage = 35;
      g.stage_frame = 800;
      g.face_x = 400;
      g.face_y = 300;
      g.cursor_x = 60;
      g.cursor_y = 560;
    };
    std::shared_ptr<TPixmap> screen;
    Play(options, [&](PlayerControl& p) {
      if (p.state().stage == 35 && p.state().stage_frame == f + 1) {
        screen = CurrentDrawDriver()->GrabPixmap(0, 0, 800, 600);
        *breath = p.state().scene_var_3;
        p.PressEscape();
      }
    });
    return screen;
  }

  static TestXServer* _server;
};

TestXServer* SleepPixels::_server = nullptr;

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
