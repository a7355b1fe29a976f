// The real program on the dummy Xorg server: it shows the face and the title, Escape typed
// through XTest ends it with status 0 and the desktop's mode is back. Without a server it says
// so in one line and fails.
#include <gtest/gtest.h>
// X11 after gtest: its macros (None, Bool, Status) clash with gtest's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/xf86vmode.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/x_server.h"

namespace {

const char* const kMoody = MOODY_BINARY_DIR "/moody";

using Clock = std::chrono::steady_clock;

// Starts moody with DISPLAY set and the given arguments; its stderr goes to `stderr_fd` when
// given.
pid_t StartMoody(const std::string& display, int stderr_fd = -1,
                 std::vector<std::string> args = {}) {
  std::vector<char*> argv{const_cast<char*>("moody")};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    if (stderr_fd >= 0) dup2(stderr_fd, 2);
    execv(kMoody, argv.data());
    _exit(127);
  }
  return pid;
}

// Runs moody to its end with the arguments; its status and what it wrote to stdout and stderr.
struct Ran {
  int status = -1;
  std::string out;
};
Ran RunMoody(const std::string& display, std::vector<std::string> args, bool merge_stderr) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::vector<char*> argv{const_cast<char*>("moody")};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    dup2(fds[1], 1);
    if (merge_stderr) dup2(fds[1], 2);
    execv(kMoody, argv.data());
    _exit(127);
  }
  close(fds[1]);
  Ran ran;
  char buf[256];
  for (ssize_t got; (got = read(fds[0], buf, sizeof buf)) > 0;) ran.out.append(buf, got);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return ran;
}

// Waits for the child's end; false on timeout (the child is then killed and reaped).
bool WaitForExit(pid_t pid, std::chrono::milliseconds timeout, int* status) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (waitpid(pid, status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, status, 0);
  return false;
}

struct ScreenShot {
  XImage* image = nullptr;
  ~ScreenShot() {
    if (image) XDestroyImage(image);
  }
  void Grab(Display* d) {
    if (image) XDestroyImage(image);
    image = XGetImage(d, DefaultRootWindow(d), 0, 0, 800, 600, AllPlanes, ZPixmap);
  }
  void Pixel(int x, int y, int& r, int& g, int& b) const {
    const unsigned long p = XGetPixel(image, x, y);
    r = static_cast<int>((p & image->red_mask) >> 16);
    g = static_cast<int>((p & image->green_mask) >> 8);
    b = static_cast<int>(p & image->blue_mask);
  }
  bool FaceAtCentre() const {
    int r, g, b;
    Pixel(400, 300, r, g, b);
    return std::abs(r - 241) <= 2 && std::abs(g - 230) <= 2 && std::abs(b - 63) <= 2;
  }
  // Some bright grey pixels where the title lettering sits (192x69 centred on (240, 160)).
  bool TitleShows() const {
    int bright = 0;
    for (int y = 126; y < 195; y += 2) {
      for (int x = 144; x < 336; x += 2) {
        int r, g, b;
        Pixel(x, y, r, g, b);
        if (r > 80 && std::abs(r - g) < 8 && std::abs(g - b) < 8) ++bright;
      }
    }
    return bright >= 10;
  }
};

// The dummy server's desktop mode, 1024x768, is in force.
void ExpectDesktopMode(Display* d) {
  int dot_clock = 0;
  XF86VidModeModeLine mode{};
  ASSERT_TRUE(XF86VidModeGetModeLine(d, DefaultScreen(d), &dot_clock, &mode));
  EXPECT_EQ(mode.hdisplay, 1024);
  EXPECT_EQ(mode.vdisplay, 768);
  if (mode.privsize > 0) XFree(mode.c_private);
}

// A dummy server, a connection to it, and moody started on it.
struct MoodyOnDummy {
  std::unique_ptr<TestXServer> server;
  Display* d = nullptr;
  pid_t pid = -1;
  ~MoodyOnDummy() {
    if (d) XCloseDisplay(d);
  }
};

void StartMoodyOnDummy(MoodyOnDummy& run, const std::vector<std::string>& args = {}) {
  if (!run.server) {
    std::string error;
    run.server = TestXServer::StartXorgDummy(&error);
    ASSERT_TRUE(run.server) << "cannot start the dummy X server: " << error;
    run.d = XOpenDisplay(run.server->display_name().c_str());
    ASSERT_NE(run.d, nullptr);
  }
  run.pid = StartMoody(run.server->display_name(), -1, args);
  ASSERT_GT(run.pid, 0);
}

// The face and the title show, then Escape typed ends the program with status 0, the desktop's
// mode back.
void ExpectTitleThenEndOnEscape(MoodyOnDummy& run) {
  Display* d = run.d;
  const pid_t moody = run.pid;

  // The title's lettering is fully visible from about 2 s to 3.5 s after the first frame.
  ScreenShot screen;
  bool seen = false;
  int status = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!seen && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(waitpid(moody, &status, WNOHANG), 0) << "moody ended early, status " << status;
    screen.Grab(d);
    seen = screen.image && screen.FaceAtCentre() && screen.TitleShows();
  }
  EXPECT_TRUE(seen) << "no face and title on screen";

  const KeyCode escape = XKeysymToKeycode(d, XK_Escape);
  XTestFakeKeyEvent(d, escape, True, 0);
  XTestFakeKeyEvent(d, escape, False, 0);
  XFlush(d);
  ASSERT_TRUE(WaitForExit(moody, std::chrono::seconds(10), &status)) << "Escape did not end it";
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);

  ExpectDesktopMode(d);
}

}  // namespace

TEST(EndToEnd, ShowsTheTitleAndEndsOnEscapeWithTheDesktopBack) {
  MoodyOnDummy run;
  ASSERT_NO_FATAL_FAILURE(StartMoodyOnDummy(run));
  ExpectTitleThenEndOnEscape(run);
}

// The tour starts at the title too, full screen and in a window (put at the origin, with no
// window manager).
TEST(EndToEnd, TheDemoEndsOnEscapeFullScreenAndInAWindow) {
  MoodyOnDummy run;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--demo"},
                                               std::vector<std::string>{"--demo", "--window"}}) {
    ASSERT_NO_FATAL_FAILURE(StartMoodyOnDummy(run, args));
    ExpectTitleThenEndOnEscape(run);
  }
}

TEST(EndToEnd, WithoutADisplayItSaysSoInOneLineAndFails) {
  int n = 90;
  struct stat st;
  while (stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) == 0) ++n;
  const std::string display = "localhost:" + std::to_string(n);  // nothing listens there

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t moody = StartMoody(display, fds[1]);
  close(fds[1]);
  std::string err;
  char buf[256];
  for (ssize_t got; (got = read(fds[0], buf, sizeof buf)) > 0;) err.append(buf, got);
  close(fds[0]);
  int status = 0;
  ASSERT_TRUE(WaitForExit(moody, std::chrono::seconds(10), &status));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  ASSERT_FALSE(err.empty());
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;  // exactly one line
  EXPECT_NE(err.find(display), std::string::npos) << err;
  EXPECT_NE(err.find("Connection refused"), std::string::npos) << err;
}

// Left alone, the story plays through to the closing card (about 70 s of frames) and the program
// ends by itself with status 0, the desktop's mode back.
TEST(EndToEnd, LeftAloneItPlaysToTheClosingCardAndEndsByItself) {
  MoodyOnDummy run;
  ASSERT_NO_FATAL_FAILURE(StartMoodyOnDummy(run));
  Display* d = run.d;
  const pid_t moody = run.pid;
  int status = 0;
  ASSERT_TRUE(WaitForExit(moody, std::chrono::seconds(200), &status))
      << "still running after 200 s";
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);

  ExpectDesktopMode(d);
}

// A session played on the real server with synthetic input, recorded: the movie verifies without
// a display, and replayed on the display it keeps in step to the recorded Escape.
TEST(EndToEnd, ASessionRecordedOnTheServerReplaysInStep) {
  MoodyOnDummy run;
  std::string error;
  run.server = TestXServer::StartXorgDummy(&error);
  ASSERT_TRUE(run.server) << error;
  run.d = XOpenDisplay(run.server->display_name().c_str());
  ASSERT_NE(run.d, nullptr);
  Display* d = run.d;
  const std::string movie = std::string(testing::TempDir()) + "/end_to_end.movie";
  const pid_t moody =
      StartMoody(run.server->display_name(), -1, {"--seed", "31337", "--record", movie});

  // From the title's frame 400 (about 6.7 s) the cursor follows the mouse: steer it from where
  // it starts, (190, 430), onto the face in the centre and click, then keep moving.
  std::this_thread::sleep_for(std::chrono::milliseconds(7500));
  for (int i = 0; i < 30; ++i) {
    XTestFakeRelativeMotionEvent(d, 9, -5, 0);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  XTestFakeButtonEvent(d, 1, True, 0);
  XTestFakeButtonEvent(d, 1, False, 0);
  for (int i = 0; i < 40; ++i) {
    XTestFakeRelativeMotionEvent(d, i % 2 ? 25 : -20, i % 3 ? 7 : -9, 0);
    XFlush(d);
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  const KeyCode escape = XKeysymToKeycode(d, XK_Escape);
  XTestFakeKeyEvent(d, escape, True, 0);
  XTestFakeKeyEvent(d, escape, False, 0);
  XFlush(d);
  int status = 0;
  ASSERT_TRUE(WaitForExit(moody, std::chrono::seconds(20), &status));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

  std::ifstream in(movie);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\nin "), std::string::npos) << "no motion recorded";
  EXPECT_NE(text.str().find(" 1 0\n"), std::string::npos) << "no click recorded";
  EXPECT_NE(text.str().find(" 0 1\nend "), std::string::npos) << "no Escape at the end";

  const Ran verified = RunMoody("", {"--verify", movie}, false);  // no display needed
  EXPECT_EQ(verified.status, 0) << verified.out;
  EXPECT_NE(verified.out.find(": in step, "), std::string::npos) << verified.out;
  EXPECT_NE(verified.out.find("ended with status 0"), std::string::npos) << verified.out;

  const Ran replayed = RunMoody(run.server->display_name(), {"--replay", movie}, true);
  EXPECT_EQ(replayed.status, 0) << replayed.out;
  EXPECT_EQ(replayed.out, "");
  ExpectDesktopMode(d);
}
