// The display on a server with the VidMode extension (Xorg, dummy driver, 1024x768 desktop with
// an 800x600 60 Hz mode): the mode is switched while the display is open and the desktop's comes
// back on every way out. Each case runs in a child process of its own.
// gtest before X11: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <X11/Xatom.h>
#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "display/gl_graphics.h"
#include "display/graphics.h"
#include "system/clock.h"
#include "system/polled_input.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

std::unique_ptr<TestXServer> xorg;

class XorgEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    xorg = TestXServer::StartXorgDummy(&error);
    ASSERT_TRUE(xorg) << error;
  }
  void TearDown() override { xorg.reset(); }
};
testing::Environment* const environment = testing::AddGlobalTestEnvironment(new XorgEnvironment);

const ModeSize kDesktop{1024, 768};
const ModeSize kGame{800, 600};

std::string Name() { return xorg->display_name(); }

void UseRealDrivers(TGraphicsDriver* graphics = nullptr) {
  static TLinuxSystemDriver system_driver;
  static TGLGraphicsDriver gl_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(graphics ? graphics : &gl_driver);
}

std::string WindowTitle(Display* display, Window window, Atom* type) {
  Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, name, 0, 256, False, AnyPropertyType, type, &format,
                         &count, &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

// A child that opens the game's display, says so, and then only pumps events.
std::unique_ptr<ChildProcess> OpenAndIdle(const std::string& display) {
  return std::make_unique<ChildProcess>(display, [](ChildProcess& self) {
    UseRealDrivers();
    if (!OpenGraphics(800, 600, 32, 60, 0)) {
      self.Report("no display");
      _exit(3);
    }
    self.Report(std::to_string(InputWindow()));
    for (;;) WaitSystem();
  });
}

TEST(DisplayVidMode, SwitchesTheModeWhileOpenAndRestoresItOnClose) {
  ASSERT_EQ(CurrentVideoMode(Name()), kDesktop);
  ChildResult r = RunInChild(Name(), [] {
    UseRealDrivers();
    ASSERT_TRUE(OpenGraphics(800, 600, 32, 60, 0));
    EXPECT_EQ(CurrentVideoMode(Name()), kGame);

    DisplayInfo info = CurrentDisplayInfo();
    EXPECT_TRUE(info.mode_switched);
    EXPECT_FALSE(info.scaled_fallback);
    EXPECT_EQ(info.window_width, 800);
    EXPECT_EQ(info.window_height, 600);
    EXPECT_EQ(GraphicsWidth(), 800);
    EXPECT_EQ(GraphicsHeight(), 600);
    EXPECT_EQ(GraphicsDepth(), 24);  // reported as 24 for the 32-bit request
    EXPECT_EQ(GraphicsHertz(), 60);

    // The pointer starts at the centre, both on the screen and as the game reads it.
    int x = 0, y = 0;
    ASSERT_TRUE(QueryRootPointer(Name(), &x, &y));
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    EXPECT_EQ(PointerX(), 400);
    EXPECT_EQ(PointerY(), 300);

    Display* display = XConnection();
    Window window = InputWindow();
    ASSERT_NE(window, 0u);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    Atom type = None;
    EXPECT_EQ(WindowTitle(display, window, &type), "moody");
    EXPECT_EQ(type, XInternAtom(display, "UTF8_STRING", False));

    // A cleared frame reaches the screen.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Flip(0);
    XSync(display, False);
    EXPECT_EQ(ScreenPixel(Name(), 799, 599), 0xFF0000);

    CloseGraphics();
    EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
    EXPECT_EQ(InputWindow(), 0u);
    EXPECT_FALSE(CurrentDisplayInfo().open);
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
  EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
}

// Notes the video mode at each creation, so the state between two opens can be seen.
class ModeWatchingDriver : public TGraphicsDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override {
    modes_at_create.push_back(CurrentVideoMode(Name()));
    return gl.CreateGraphics(width, height, depth, hertz, flags);
  }
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override { gl.SetGraphics(graphics); }
  void Flip(int sync) override { gl.Flip(sync); }

  TGLGraphicsDriver gl;
  std::vector<ModeSize> modes_at_create;
};

TEST(DisplayVidMode, ASecondOpenRestoresTheDesktopBeforeSwitchingAgain) {
  ChildResult r = RunInChild(Name(), [] {
    static ModeWatchingDriver watcher;
    UseRealDrivers(&watcher);
    auto first = OpenGraphics(800, 600, 32, 60, 0);
    ASSERT_TRUE(first);
    int sequence = DisplaySequence();
    auto second = OpenGraphics(800, 600, 32, 60, 0);
    ASSERT_TRUE(second);
    EXPECT_EQ(watcher.modes_at_create, (std::vector<ModeSize>{kDesktop, kDesktop}));
    EXPECT_EQ(CurrentVideoMode(Name()), kGame);
    EXPECT_EQ(DisplaySequence(), sequence + 2);  // one close, one open
    EXPECT_EQ(CurrentGraphics(), second);
    CloseGraphics();
    EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
}

TEST(DisplayVidMode, ExitWithTheDisplayOpenRestoresTheDesktop) {
  // What Escape does: exit(0) from inside the game.
  ChildResult r = RunInChild(Name(), [] {
    UseRealDrivers();
    if (!OpenGraphics(800, 600, 32, 60, 0)) _exit(3);
    if (CurrentVideoMode(Name()) != kGame) _exit(4);
    exit(0);
  });
  EXPECT_TRUE(r.ExitedWith(0)) << r.Describe();
  EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
}

TEST(DisplayVidMode, TerminatingSignalsRestoreTheDesktopAndEndTheProcess) {
  for (int signo : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE("signal " + std::to_string(signo));
    auto child = OpenAndIdle(Name());
    std::string line = child->ReadLine();
    ASSERT_NE(line, "");
    ASSERT_NE(line, "no display");
    EXPECT_EQ(CurrentVideoMode(Name()), kGame);
    kill(child->pid(), signo);
    ChildResult r = child->Wait();
    EXPECT_TRUE(r.KilledBy(signo)) << r.Describe();
    EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
  }
}

TEST(DisplayVidMode, ALostConnectionRestoresTheDesktopAndExitsWithOne) {
  auto child = OpenAndIdle(Name());
  std::string line = child->ReadLine();
  ASSERT_NE(line, "");
  ASSERT_NE(line, "no display");
  ASSERT_EQ(CurrentVideoMode(Name()), kGame);
  // The server closes the child's connection but stays up, so the mode must be put back.
  Display* own = XOpenDisplay(Name().c_str());
  ASSERT_TRUE(own);
  XKillClient(own, static_cast<XID>(std::stoul(line)));
  XSync(own, False);
  XCloseDisplay(own);
  ChildResult r = child->Wait();
  EXPECT_TRUE(r.ExitedWith(1)) << r.Describe();
  EXPECT_EQ(CurrentVideoMode(Name()), kDesktop);
}

TEST(DisplayVidMode, AServerThatDiesEndsTheGameInsteadOfHangingIt) {
  std::string error;
  auto doomed = TestXServer::StartXorgDummy(&error);
  ASSERT_TRUE(doomed) << error;
  auto child = OpenAndIdle(doomed->display_name());
  std::string line = child->ReadLine();
  ASSERT_NE(line, "");
  ASSERT_NE(line, "no display");
  doomed->Kill();
  ChildResult r = child->Wait();
  EXPECT_TRUE(r.ExitedWith(1)) << r.Describe();
}

}  // namespace
