// moody --demo as a screen saver on the dummy Xorg server: drawn into a window the test makes,
// touching nothing of the desktop, ended by SIGTERM with status 0 (how soon is a figure of
// demo_soak_bench: a busy machine slows the end of any process); then under the real
// xscreensaver.
#include <gtest/gtest.h>
// X11 after gtest: its macros clash with gtest's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

const char* const kMoody = MOODY_BINARY_DIR "/moody";
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
namespace fs = std::filesystem;
constexpr int kFaceSeen = 2000;  // face-yellow pixels; the face alone covers some 6000 here

std::unique_ptr<TestXServer> xorg;
struct XorgEnvironment : testing::Environment {
  void SetUp() override { ASSERT_TRUE(xorg = TestXServer::StartXorgDummy()); }
  void TearDown() override { xorg.reset(); }
};
testing::Environment* const environment = testing::AddGlobalTestEnvironment(new XorgEnvironment);

// Runs `argv` on the server, as `uid` unless -1, with HOME when given, its output to `out`.
pid_t Spawn(std::vector<std::string> argv, const std::string& out, uid_t uid = -1,
            const std::string& home = "") {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setenv("DISPLAY", xorg->display_name().c_str(), 1);
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
  const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(fd, 1);
  dup2(fd, 2);
  if (uid != static_cast<uid_t>(-1) && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(126);
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Face-yellow pixels of a window's w x h; `lit_outside` tells of any pixel not black outside the
// columns [x0, x1).
int Yellow(Display* d, Window window, int w, int h, int x0 = 0, int x1 = 1 << 30,
           bool* lit_outside = nullptr) {
  XImage* image = XGetImage(d, window, 0, 0, w, h, AllPlanes, ZPixmap);
  int yellow = 0;
  for (int y = 0; image && y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      yellow += r > 180 && g > 180 && b < 120;
      if (lit_outside && (x < x0 || x >= x1) && (r | g | b)) *lit_outside = true;
    }
  }
  if (image) XDestroyImage(image);
  return yellow;
}

// Polls `done` every 5 ms until it holds or `timeout` passes.
template <class F>
bool Within(milliseconds timeout, F done) {
  for (const auto deadline = Clock::now() + timeout; !done();) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(5));
  }
  return true;
}

TEST(ScreenSaver, DrawsIntoTheGivenWindowTouchingNothingAndEndsWithStatus0OnSigterm) {
  Display* d = XOpenDisplay(xorg->display_name().c_str());
  ASSERT_TRUE(d);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone is a finding
  const Window root = DefaultRootWindow(d);
  // 16:9: the 4:3 picture is 480x360, black columns of 80 on either side.
  const Window window = XCreateSimpleWindow(d, root, 100, 100, 640, 360, 0, 0, 0);
  XMapWindow(d, window);
  XSync(d, False);
  WarpRootPointer(xorg->display_name(), 3, 3);
  const ModeSize mode = CurrentVideoMode(xorg->display_name());
  const std::string out = testing::TempDir() + "/saver_window.out";
  const pid_t moody = Spawn({kMoody, "--demo", "-window-id", std::to_string(window)}, out);

  bool lit_outside = false;
  EXPECT_TRUE(Within(milliseconds(30000), [&] {
    return Yellow(d, window, 640, 360, 80, 560, &lit_outside) > kFaceSeen;
  }));
  EXPECT_FALSE(lit_outside) << "the picture keeps its aspect, black around";
  // Another client can take the pointer and the keyboard; the mode and the pointer stay put.
  EXPECT_EQ(XGrabPointer(d, root, False, 0, GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime),
            GrabSuccess);
  EXPECT_EQ(XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime), GrabSuccess);
  XUngrabPointer(d, CurrentTime);
  XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), mode);
  int x = 0, y = 0;
  EXPECT_TRUE(QueryRootPointer(xorg->display_name(), &x, &y) && x == 3 && y == 3);

  kill(moody, SIGTERM);
  int status = -1;
  ASSERT_TRUE(Within(milliseconds(5000), [&] { return waitpid(moody, &status, WNOHANG) > 0; }));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  XWindowAttributes attributes;
  EXPECT_TRUE(XGetWindowAttributes(d, window, &attributes)) << "the window is the test's";
  EXPECT_EQ(Slurp(out), "") << "a screen saver says nothing";
  XCloseDisplay(d);
}

bool RunsFrom(const fs::path& program) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path() / "exe", ec) == program) return true;
  }
  return false;
}

TEST(ScreenSaver, TheRealXscreensaverStartsItOnActivatingAndStopsItOnDeactivating) {
  // xscreensaver starts no programs as root: as root, it and moody run as nobody, from a copy
  // that nobody may read.
  const uid_t uid = getuid() == 0 ? 65534 : -1;
  char name[] = "/tmp/moody-saver-XXXXXX";
  ASSERT_TRUE(mkdtemp(name));
  const fs::path dir = name, program = dir / "moody";
  fs::copy_file(kMoody, program);
  fs::permissions(dir, fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
  std::ofstream(dir / ".xscreensaver")
      << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
      << "timeout: 0:30:00\nprograms: GL: " << program.string() << " --demo --root \\n\n";
  ASSERT_EQ(chown(dir.c_str(), uid, uid), 0);
  const std::string log = dir / "xscreensaver.log";
  const pid_t daemon = Spawn({"xscreensaver", "-no-splash"}, log, uid, dir);
  auto command = [&](const char* what) {
    int status = -1;
    waitpid(Spawn({"xscreensaver-command", what}, dir / "command.out", uid, dir), &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  EXPECT_TRUE(Within(milliseconds(10000), [&] { return command("-version"); }));
  Display* d = XOpenDisplay(xorg->display_name().c_str());
  ASSERT_TRUE(d);

  ASSERT_TRUE(command("-activate"));
  EXPECT_TRUE(Within(milliseconds(10000), [&] { return RunsFrom(program); }));
  EXPECT_TRUE(Within(milliseconds(30000), [&] {
    return Yellow(d, DefaultRootWindow(d), DisplayWidth(d, 0), DisplayHeight(d, 0)) > kFaceSeen;
  }));
  ASSERT_TRUE(command("-deactivate"));
  EXPECT_TRUE(Within(milliseconds(5000), [&] { return !RunsFrom(program); }));

  kill(daemon, SIGTERM);
  waitpid(daemon, nullptr, 0);
  const std::string said = Slurp(log);
  EXPECT_EQ(said.find("X Error"), std::string::npos) << said;
  EXPECT_EQ(said.find("moody:"), std::string::npos) << said;
  XCloseDisplay(d);
  fs::remove_all(dir);
}

}  // namespace
