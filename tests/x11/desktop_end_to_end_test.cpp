// The real program on the desktops people run: two monitors, a monitor without an 800x600 mode,
// a server without video modes, Xwayland under a compositor (headless, and nested in an X server
// so that keys go through the compositor), a window on request, and a keyboard another client
// holds. On each: where the picture goes and that the face stays round, that the pointer is
// hidden, that the way out ends it with status 0, and that the monitors are as they were.
#include <gtest/gtest.h>
// X11 after gtest: its macros (None, Bool, Status) clash with gtest's names.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/desktop_bed.h"
#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

const char* const kMoody = MOODY_BINARY_DIR "/moody";
using Clock = std::chrono::steady_clock;

class Moody {
 public:
  Moody(const std::string& display, std::vector<std::string> args = {}, bool window_env = false) {
    _pid = fork();
    if (_pid == 0) {
      setenv("DISPLAY", display.c_str(), 1);
      if (window_env) {
        setenv("MOODY_WINDOW", "1", 1);
      } else {
        unsetenv("MOODY_WINDOW");
      }
      std::vector<char*> argv{const_cast<char*>("moody")};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(kMoody, argv.data());
      _exit(127);
    }
  }
  ~Moody() {
    if (_pid > 0 && !_reaped) {
      kill(_pid, SIGKILL);
      waitpid(_pid, nullptr, 0);
    }
  }
  // The exit status, or -1 if it had to be killed after the timeout.
  int WaitForExit(int timeout_ms = 10000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    int status = 0;
    while (Clock::now() < deadline) {
      if (waitpid(_pid, &status, WNOHANG) == _pid) {
        _reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }
  bool Running() { return !_reaped && waitpid(_pid, nullptr, WNOHANG) == 0; }

 private:
  pid_t _pid = -1;
  bool _reaped = false;
};

// Waits until the face shows in the game's window and says where.
Blob WaitForFace(const std::string& display, const GameWindow& window, Moody& moody) {
  Blob face;
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < deadline && moody.Running()) {
    face = YellowInWindow(display, window.id);
    if (face.count > 500) return face;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return face;
}

// The face is a disc of 90 game pixels, centred in the picture when the title shows it.
void ExpectRoundFaceAt(const Blob& face, int centre_x, int centre_y, double scale) {
  ASSERT_GT(face.count, 500) << "no face";
  EXPECT_NEAR(face.width(), face.height(), 3) << "the face is not round";
  EXPECT_NEAR(face.width(), 90 * scale, 4 + 4 * scale);
  EXPECT_NEAR((face.left + face.right) / 2.0, centre_x, 3 + 2 * scale);
  EXPECT_NEAR((face.top + face.bottom) / 2.0, centre_y, 3 + 2 * scale);
}

std::unique_ptr<TestXServer> Start(std::unique_ptr<TestXServer> server, const std::string& error) {
  EXPECT_TRUE(server) << error;
  return server;
}

// openbox on the display, or replacing the one that runs; returns once it is up.
std::unique_ptr<ChildProcess> StartOpenbox(const std::string& display, bool replacing) {
  const std::string up = testing::TempDir() + "moody-openbox-" + std::to_string(getpid());
  auto wm = std::make_unique<ChildProcess>(display, [&](ChildProcess&) {
    freopen("/dev/null", "w", stdout);  // its complaints about menus
    execlp("openbox", "openbox", "--startup", ("touch " + up).c_str(),
           replacing ? "--replace" : nullptr, nullptr);
  });
  for (int tries = 0; unlink(up.c_str()) != 0 && tries < 400; ++tries) usleep(50000);
  return wm;
}

TEST(DesktopEndToEnd, TwoMonitorsOnlyThePrimarySwitchesAndBothComeBack) {
  std::string error;
  auto xorg = Start(TestXServer::StartXorgDummyWith("xorg-dummy-two-monitors.conf", &error), error);
  ASSERT_TRUE(xorg);
  const std::string name = xorg->display_name();
  ASSERT_TRUE(LightMonitorRightOf(name, "DUMMY1", "DUMMY0", "1920x1080_60"));
  const auto before = LitMonitors(name);
  ASSERT_EQ(before.size(), 2u) << Describe(before);

  Moody moody(name);
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 0);
  EXPECT_EQ(window.width, 800);
  EXPECT_EQ(window.height, 600);
  EXPECT_TRUE(window.override_redirect);
  const auto during = LitMonitors(name);
  ASSERT_EQ(during.size(), 2u) << Describe(during);
  EXPECT_EQ(during[0], (LitMonitor{"DUMMY0", 0, 0, 800, 600})) << Describe(during);
  EXPECT_EQ(during[1], before[1]) << "the second monitor moved: " << Describe(during);
  ExpectRoundFaceAt(WaitForFace(name, window, moody), 400, 300, 1.0);
  EXPECT_TRUE(CursorInvisible(name));

  TypeEscape(name);
  EXPECT_EQ(moody.WaitForExit(), 0);
  EXPECT_EQ(LitMonitors(name), before) << Describe(LitMonitors(name));
}

TEST(DesktopEndToEnd, WithoutAnEightHundredBySixHundredModeThePictureIsScaledRound) {
  std::string error;
  auto xorg = Start(TestXServer::StartXorgDummyWith("xorg-dummy-no-800x600.conf", &error), error);
  ASSERT_TRUE(xorg);
  const std::string name = xorg->display_name();
  const auto before = LitMonitors(name);
  ASSERT_EQ(before, (std::vector<LitMonitor>{{"DUMMY0", 0, 0, 1920, 1080}}));

  Moody moody(name);
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  EXPECT_EQ(window.width, 1920);
  EXPECT_EQ(window.height, 1080);
  EXPECT_EQ(LitMonitors(name), before);
  // 1440x1080 in the middle: a scale of 1.8, the centre at the window's.
  ExpectRoundFaceAt(WaitForFace(name, window, moody), 960, 540, 1.8);
  EXPECT_TRUE(CursorInvisible(name));

  TypeEscape(name);
  EXPECT_EQ(moody.WaitForExit(), 0);
  EXPECT_EQ(LitMonitors(name), before);
}

TEST(DesktopEndToEnd, XwaylandRunsFullScreenAtTheOutputsSizeAndTheFaceStaysRound) {
  std::string error;
  auto weston = Start(TestXServer::StartWestonXwayland(1920, 1080, "", &error), error);
  ASSERT_TRUE(weston);
  const std::string name = weston->display_name();

  Moody moody(name);
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  EXPECT_FALSE(window.override_redirect) << "the compositor would never give it the keyboard";
  EXPECT_TRUE(window.full_screen_state);
  EXPECT_EQ(window.width, 1920);
  EXPECT_EQ(window.height, 1080);
  ExpectRoundFaceAt(WaitForFace(name, window, moody), 960, 540, 1.8);

  // The compositor's close request is a way out like Escape.
  AskToClose(name, window.id);
  EXPECT_EQ(moody.WaitForExit(), 0);
}

TEST(DesktopEndToEnd, EscapeTypedThroughTheCompositorEndsTheGame) {
  std::string error;
  auto host = Start(TestXServer::StartXvfb(1280, 720, &error), error);
  ASSERT_TRUE(host);
  auto weston =
      Start(TestXServer::StartWestonXwayland(1280, 720, host->display_name(), &error), error);
  ASSERT_TRUE(weston);
  const std::string name = weston->display_name();

  Moody moody(name);
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  ASSERT_NE(WaitForFace(name, window, moody).count, 0);
  // The host's keyboard goes to weston's window when the pointer is over it.
  WarpRootPointer(host->display_name(), 640, 360);
  TypeEscape(host->display_name());
  EXPECT_EQ(moody.WaitForExit(), 0);
}

TEST(DesktopEndToEnd, AWindowOnRequestSwitchesNothingAndClosingItEndsTheGame) {
  std::string error;
  auto xorg = Start(TestXServer::StartXorgDummy(&error), error);
  ASSERT_TRUE(xorg);
  const std::string name = xorg->display_name();
  const ModeSize desktop = CurrentVideoMode(name);

  Moody moody(name, {"--window"});
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  EXPECT_FALSE(window.override_redirect);
  EXPECT_EQ(window.width, 800);
  EXPECT_EQ(window.height, 600);
  ExpectRoundFaceAt(WaitForFace(name, window, moody), 400, 300, 1.0);
  EXPECT_EQ(CurrentVideoMode(name), desktop);

  AskToClose(name, window.id);
  EXPECT_EQ(moody.WaitForExit(), 0);
  EXPECT_EQ(CurrentVideoMode(name), desktop);
}

TEST(DesktopEndToEnd, AKeyboardHeldElsewhereStillLeavesEscapeAWayOut) {
  std::string error;
  auto xorg = Start(TestXServer::StartXorgDummy(&error), error);
  ASSERT_TRUE(xorg);
  const std::string name = xorg->display_name();
  const ModeSize desktop = CurrentVideoMode(name);
  Display* other = XOpenDisplay(name.c_str());
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                          CurrentTime),
            GrabSuccess);
  XSync(other, False);
  // A screen locker, maybe: nothing is switched or shown above it; after a while the game gives
  // up, or it starts once the keyboard is let go.
  EXPECT_EQ(Moody(name).WaitForExit(30000), 1);
  Moody moody(name, {}, /*window_env=*/false);
  EXPECT_EQ(FindGameWindow(name, 2000).id, 0u);
  EXPECT_EQ(CurrentVideoMode(name), desktop);
  XUngrabKeyboard(other, CurrentTime);
  XSync(other, False);
  XCloseDisplay(other);
  ASSERT_NE(WaitForFace(name, FindGameWindow(name), moody).count, 0);  // playing: Escape counts
  TypeEscape(name);
  EXPECT_EQ(moody.WaitForExit(), 0);
}

// Under openbox: a window follows the mouse from the start; full screen, the window manager
// restarting leaves Escape working without a click, and a second copy in a window is refused.
TEST(DesktopEndToEnd, UnderAWindowManagerTheInputNeverGoesDead) {
  std::string error;
  auto xorg = Start(TestXServer::StartXorgDummy(&error), error);
  ASSERT_TRUE(xorg);
  const std::string name = xorg->display_name();
  auto wm = StartOpenbox(name, false);
  Moody windowed(name, {"--window"});
  const GameWindow small = FindGameWindow(name);
  // The game puts the pointer back in the window's centre, as long as it reads the mouse.
  int x = 0, y = 0;
  for (int tries = 0; tries < 200 && !(x == small.x + 400 && y == small.y + 300); ++tries) {
    MovePointerBy(name, 30, 0);
    usleep(100000);
    QueryRootPointer(name, &x, &y);
  }
  EXPECT_EQ(x, small.x + 400);
  EXPECT_EQ(y, small.y + 300);
  TypeEscape(name);
  EXPECT_EQ(windowed.WaitForExit(), 0);
  Moody moody(name);
  const GameWindow window = FindGameWindow(name);
  ASSERT_TRUE(WaitForFocus(name, window.id));
  auto restarted = StartOpenbox(name, true);
  // The new window manager focuses a window of its own as it starts; the game takes it back.
  EXPECT_TRUE(WaitForFocus(name, window.id));
  EXPECT_TRUE(CursorInvisible(name));
  EXPECT_EQ(Moody(name, {"--window"}).WaitForExit(), 1) << "a second copy ran";
  TypeEscape(name);
  EXPECT_EQ(moody.WaitForExit(), 0);
}

TEST(DesktopEndToEnd, TheWindowCanAlsoBeAskedForThroughTheEnvironment) {
  std::string error;
  auto xvfb = Start(TestXServer::StartXvfb(1024, 768, &error), error);
  ASSERT_TRUE(xvfb);
  const std::string name = xvfb->display_name();
  Moody moody(name, {}, /*window_env=*/true);
  GameWindow window = FindGameWindow(name);
  ASSERT_NE(window.id, 0u);
  EXPECT_FALSE(window.override_redirect);
  EXPECT_EQ(window.width, 800);
  ASSERT_NE(WaitForFace(name, window, moody).count, 0);
  // Without a window manager it takes the focus itself, and with it the keys.
  EXPECT_TRUE(WaitForFocus(name, window.id));
  TypeEscape(name);
  EXPECT_EQ(moody.WaitForExit(), 0);
}

}  // namespace
