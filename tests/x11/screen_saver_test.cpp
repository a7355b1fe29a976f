// moody --demo as a screen saver on the dummy Xorg server: drawn into a window the test makes,
// touching nothing of the desktop, ended by SIGTERM at once; then under the real xscreensaver,
// started by activating the saver and stopped by deactivating it.
#include <gtest/gtest.h>
// X11 after gtest: its macros clash with gtest's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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

// Runs `argv` with DISPLAY (and HOME, when given) set, as `uid` when not -1, its output to `err`.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& err, uid_t uid = -1,
            const std::string& home = "") {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setenv("DISPLAY", xorg->display_name().c_str(), 1);
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
  const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(fd, 1);
  dup2(fd, 2);
  if (uid != static_cast<uid_t>(-1) && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(126);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Face-yellow pixels in a rectangle of `window`, and whether any pixel outside the columns
// [x0, x1) is not black.
struct Seen {
  int yellow = 0;
  bool lit_outside = false;
};
Seen Look(Display* d, Window window, int w, int h, int x0 = 0, int x1 = 1 << 30) {
  Seen seen;
  XImage* image = XGetImage(d, window, 0, 0, w, h, AllPlanes, ZPixmap);
  if (!image) return seen;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      if (r > 180 && g > 180 && b < 120) ++seen.yellow;
      if ((x < x0 || x >= x1) && (r | g | b) != 0) seen.lit_outside = true;
    }
  }
  XDestroyImage(image);
  return seen;
}

// Polls `done` every 10 ms until it holds or `timeout` passes.
template <class F>
bool Within(milliseconds timeout, F done) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(10));
  }
  return true;
}

constexpr int kFaceSeen = 2000;  // the face alone covers some 6000 pixels at this scale

TEST(ScreenSaver, DrawsIntoTheGivenWindowTouchingNothingAndEndsAtOnceOnSigterm) {
  Display* d = XOpenDisplay(xorg->display_name().c_str());
  ASSERT_TRUE(d);
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window gone is a finding
  const Window root = DefaultRootWindow(d);
  // 16:9, so the 4:3 picture is 480x360 with black columns of 80 on either side.
  const int w = 640, h = 360;
  const Window window = XCreateSimpleWindow(d, root, 100, 100, w, h, 0, 0, 0);
  XMapWindow(d, window);
  XSync(d, False);
  WarpRootPointer(xorg->display_name(), 3, 3);
  const ModeSize mode = CurrentVideoMode(xorg->display_name());
  const std::string err = std::string(testing::TempDir()) + "/saver_window.err";
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", window);
  const pid_t moody = Spawn({kMoody, "--demo", "-window-id", id}, err);

  Seen seen;
  EXPECT_TRUE(Within(milliseconds(30000),
                     [&] {
                       seen = Look(d, window, w, h, 80, 560);
                       return seen.yellow > kFaceSeen;
                     }))
      << "yellow pixels: " << seen.yellow;
  EXPECT_FALSE(seen.lit_outside) << "the picture keeps its aspect, black around";
  // Another client can take the pointer and the keyboard; the mode and the pointer stay put.
  EXPECT_EQ(XGrabPointer(d, root, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime),
            GrabSuccess);
  EXPECT_EQ(XGrabKeyboard(d, root, False, GrabModeAsync, GrabModeAsync, CurrentTime), GrabSuccess);
  XUngrabPointer(d, CurrentTime);
  XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), mode);
  int x = 0, y = 0;
  EXPECT_TRUE(QueryRootPointer(xorg->display_name(), &x, &y));
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 3);

  kill(moody, SIGTERM);
  const auto sent = Clock::now();
  int status = -1;
  ASSERT_TRUE(
      Within(milliseconds(5000), [&] { return waitpid(moody, &status, WNOHANG) == moody; }));
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - sent).count();
  EXPECT_LE(took, 100) << "ms from SIGTERM to the end";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  XWindowAttributes attributes;
  EXPECT_TRUE(XGetWindowAttributes(d, window, &attributes)) << "the window is the test's";
  EXPECT_EQ(Slurp(err), "") << "a screen saver says nothing";
  XCloseDisplay(d);
}

// Whose program it is: /proc/PID/exe of every process, looked for `path`.
pid_t FindProcessOf(const std::string& path) {
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path() / "exe", ec) == path) {
      return std::atoi(entry.path().filename().c_str());
    }
  }
  return -1;
}

TEST(ScreenSaver, TheRealXscreensaverStartsItOnActivatingAndStopsItOnDeactivating) {
  // xscreensaver launches no programs as root: as root, it and moody run as nobody, from a
  // folder nobody may read.
  const uid_t uid = getuid() == 0 ? 65534 : -1;
  char dir_template[] = "/tmp/moody-saver-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir_template));
  const fs::path dir = dir_template;
  const fs::path program = dir / "moody";
  fs::copy_file(kMoody, program);
  chmod(dir.c_str(), 0755);
  chmod(program.c_str(), 0755);
  std::ofstream(dir / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\n"
                                          "unfade: False\nsplash: False\ntimeout: 0:30:00\n"
                                          "programs: GL: "
                                       << program.string() << " --demo --root \\n\n";
  if (uid != static_cast<uid_t>(-1)) {
    ASSERT_EQ(chown(dir.c_str(), uid, uid), 0);
    ASSERT_EQ(chown((dir / ".xscreensaver").c_str(), uid, uid), 0);
  }
  const std::string log = (dir / "xscreensaver.log").string();
  const pid_t daemon = Spawn({"xscreensaver", "-no-splash"}, log, uid, dir.string());
  auto command = [&](const char* what) {
    const pid_t pid =
        Spawn({"xscreensaver-command", what}, (dir / "command.err").string(), uid, dir.string());
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  };
  // The daemon answers once it is up.
  EXPECT_TRUE(Within(milliseconds(10000), [&] { return command("-version"); }));
  Display* d = XOpenDisplay(xorg->display_name().c_str());
  ASSERT_TRUE(d);
  const int w = DisplayWidth(d, 0), h = DisplayHeight(d, 0);
  EXPECT_LT(Look(d, DefaultRootWindow(d), w, h).yellow, kFaceSeen);

  ASSERT_TRUE(command("-activate"));
  pid_t moody = -1;
  EXPECT_TRUE(Within(milliseconds(10000), [&] { return (moody = FindProcessOf(program)) > 0; }));
  Seen seen;
  EXPECT_TRUE(Within(milliseconds(30000),
                     [&] {
                       seen = Look(d, DefaultRootWindow(d), w, h);
                       return seen.yellow > kFaceSeen;
                     }))
      << "yellow pixels: " << seen.yellow;

  ASSERT_TRUE(command("-deactivate"));
  EXPECT_TRUE(Within(milliseconds(5000), [&] { return FindProcessOf(program) < 0; }));
  kill(daemon, SIGTERM);
  waitpid(daemon, nullptr, 0);
  const std::string said = Slurp(log);
  EXPECT_EQ(said.find("moody:"), std::string::npos) << said;
  EXPECT_EQ(said.find("X Error"), std::string::npos) << said;
  XCloseDisplay(d);
  fs::remove_all(dir);
}

}  // namespace
