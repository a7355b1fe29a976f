// The display on servers without the VidMode extension (Xvfb): a screen-sized window shows the
// 800x600 picture scaled with its aspect kept, and the game still sees an 800x600 surface and
// pointer. Each case runs in a child process of its own.
// gtest before X11: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>
#include <memory>
#include <string>

#include "display/gl_graphics.h"
#include "display/graphics.h"
#include "system/clock.h"
#include "system/polled_input.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

std::unique_ptr<TestXServer> xvfb_4_3;   // 1024x768: the picture fills the screen (scale 1.28)
std::unique_ptr<TestXServer> xvfb_wide;  // 1280x720: black bars left and right

class XvfbEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    xvfb_4_3 = TestXServer::StartXvfb(1024, 768, &error);
    ASSERT_TRUE(xvfb_4_3) << error;
    xvfb_wide = TestXServer::StartXvfb(1280, 720, &error);
    ASSERT_TRUE(xvfb_wide) << error;
  }
  void TearDown() override {
    xvfb_4_3.reset();
    xvfb_wide.reset();
  }
};
testing::Environment* const environment = testing::AddGlobalTestEnvironment(new XvfbEnvironment);

void UseRealDrivers() {
  static TLinuxSystemDriver system_driver;
  static TGLGraphicsDriver gl_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&gl_driver);
}

unsigned PictureRGB(int x, int y) {
  unsigned char p[4] = {};
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return (p[0] << 16) | (p[1] << 8) | p[2];
}

TEST(DisplayFallback, FillsA4To3ScreenAndKeepsAnEightHundredBySixHundredSurface) {
  std::string name = xvfb_4_3->display_name();
  ChildResult r = RunInChild(name, [name] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    DisplayInfo info = CurrentDisplayInfo();
    EXPECT_TRUE(info.scaled_fallback);
    EXPECT_FALSE(info.mode_switched);
    EXPECT_EQ(info.window_width, 1024);
    EXPECT_EQ(info.window_height, 768);
    EXPECT_EQ(info.picture_x, 0);
    EXPECT_EQ(info.picture_y, 0);
    EXPECT_EQ(info.picture_w, 1024);
    EXPECT_EQ(info.picture_h, 768);
    EXPECT_EQ(GraphicsWidth(), 800);
    EXPECT_EQ(GraphicsHeight(), 600);
    EXPECT_EQ(GraphicsDepth(), 24);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);

    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Flip(0);
    XSync(XConnection(), False);
    EXPECT_EQ(ScreenPixel(name, 0, 0), 0x0000FF);
    EXPECT_EQ(ScreenPixel(name, 1023, 767), 0x0000FF);
    CloseGraphics();
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

TEST(DisplayFallback, LetterboxesAWideScreenWithThePictureUprightAndTheGameStateKept) {
  std::string name = xvfb_wide->display_name();
  ChildResult r = RunInChild(name, [name] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    DisplayInfo info = CurrentDisplayInfo();
    EXPECT_EQ(info.window_width, 1280);
    EXPECT_EQ(info.window_height, 720);
    EXPECT_EQ(info.picture_x, 160);
    EXPECT_EQ(info.picture_y, 0);
    EXPECT_EQ(info.picture_w, 960);
    EXPECT_EQ(info.picture_h, 720);

    // Red everywhere, green in the 10x10 top-left corner of the picture (GL rows from the
    // bottom), and the game's own scissor and clear colour left in force.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 590, 10, 10);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Reading back sees the 800x600 picture, not the window.
    EXPECT_EQ(PictureRGB(5, 595), 0x00FF00u);
    EXPECT_EQ(PictureRGB(799, 0), 0xFF0000u);

    Flip(0);
    XSync(XConnection(), False);
    EXPECT_EQ(ScreenPixel(name, 50, 360), 0x000000);    // left bar
    EXPECT_EQ(ScreenPixel(name, 1230, 360), 0x000000);  // right bar
    EXPECT_EQ(ScreenPixel(name, 640, 360), 0xFF0000);
    EXPECT_EQ(ScreenPixel(name, 165, 5), 0x00FF00);  // the corner, scaled by 1.2
    EXPECT_EQ(ScreenPixel(name, 165, 700), 0xFF0000);

    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 1.0f);
    // Drawing after the flip still goes to the picture.
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(PictureRGB(5, 595), 0x00FF00u);
    CloseGraphics();
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

TEST(DisplayFallback, PointerMotionMapsOneToOneAroundTheCentres) {
  std::string name = xvfb_4_3->display_name();
  ChildResult r = RunInChild(name, [name] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    // OpenGraphics centred the pointer: the game's (400, 300) is the window's centre.
    int x = 0, y = 0;
    ASSERT_TRUE(QueryRootPointer(name, &x, &y));
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
    EXPECT_EQ(PointerX(), 400);
    EXPECT_EQ(PointerY(), 300);

    // A physical motion of (10, -4) is a game motion of (10, -4), not scaled away.
    WarpRootPointer(name, 522, 380);
    EXPECT_EQ(PointerX(), 410);
    EXPECT_EQ(PointerY(), 296);

    MoveMouse(300, 200);
    XSync(XConnection(), False);
    ASSERT_TRUE(QueryRootPointer(name, &x, &y));
    EXPECT_EQ(x, 412);
    EXPECT_EQ(y, 284);
    EXPECT_EQ(PointerX(), 300);
    EXPECT_EQ(PointerY(), 200);
    CloseGraphics();

    // Closed: no mapping is left behind for the next display.
    int wx = 7, wy = 9;
    MapWindowToGame(wx, wy);
    EXPECT_EQ(wx, 7);
    EXPECT_EQ(wy, 9);
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

// The game puts the pointer back in the centre every frame; where it is there already, nothing
// is sent. A motion not yet read is not lost: it is seen, and the pointer put back, a frame later.
TEST(DisplayFallback, PuttingThePointerWhereItIsSendsNothing) {
  std::string name = xvfb_4_3->display_name();
  ChildResult r = RunInChild(name, [name] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    Display* display = XConnection();
    ASSERT_EQ(PointerX(), 400);  // pumps the events of the opening
    XSync(display, False);
    unsigned long next = NextRequest(display);
    MoveMouse(400, 300);
    EXPECT_EQ(NextRequest(display), next) << "a warp to where the pointer is";

    WarpRootPointer(name, 522, 380);
    EXPECT_EQ(PointerX(), 410);
    MoveMouse(400, 300);
    EXPECT_GT(NextRequest(display), next);
    XSync(display, False);
    int x = 0, y = 0;
    ASSERT_TRUE(QueryRootPointer(name, &x, &y));
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
    EXPECT_EQ(PointerX(), 400);

    // Moved by someone else and not yet read: this frame leaves it, the next one sees it.
    WarpRootPointer(name, 500, 390);
    MoveMouse(400, 300);
    EXPECT_EQ(PointerX(), 388);
    EXPECT_EQ(PointerY(), 306);
    MoveMouse(400, 300);
    XSync(display, False);
    ASSERT_TRUE(QueryRootPointer(name, &x, &y));
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);

    // Hiding the pointer, as the start-up does before it puts it in the centre: that warp is
    // made although the pointer is there (under Xwayland only a warp made while the pointer is
    // hidden holds it in place).
    SetMouseVisible(false);
    const unsigned long hidden = NextRequest(display);
    MoveMouse(400, 300);
    EXPECT_GT(NextRequest(display), hidden) << "no warp after hiding";
    CloseGraphics();
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

TEST(DisplayFallback, NoServerMeansNoDisplayAndNamesTheOneTried) {
  ChildResult r = RunInChild(":987", [] {
    UseRealDrivers();
    EXPECT_FALSE(OpenGraphics(800, 600, 32, 60, 0));
    EXPECT_STREQ(LastDisplayNameTried(), ":987");
    EXPECT_FALSE(CurrentGraphics());
    EXPECT_EQ(GraphicsWidth(), 0);
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

}  // namespace
