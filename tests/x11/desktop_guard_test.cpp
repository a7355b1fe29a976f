// The real program on the dummy Xorg server (1024x768 desktop, 800x600 game mode), ended in every
// way but Escape: caught signals, SIGKILL, a fault, a second copy, Ctrl-Z and a server that dies.
// The desktop's mode is read through VidMode before, during and after; tests poll with deadlines.
#include <gtest/gtest.h>
// X11 after gtest: its macros clash with gtest's names.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "display/desktop/desktop_watchdog.h"
#include "display/graphics.h"
#include "display/gl_graphics.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/x_server.h"
#include "tests/support/x_test_helpers.h"

namespace {

const char* const kMoody = MOODY_BINARY_DIR "/moody";
const ModeSize kDesktop{1024, 768};
const ModeSize kGame{800, 600};
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::unique_ptr<TestXServer> xorg;

class XorgEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    // Orphaned watchdogs come to this process, so that a test can see them end.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    std::string error;
    xorg = TestXServer::StartXorgDummy(&error);
    ASSERT_TRUE(xorg) << error;
  }
  void TearDown() override {
    xorg.reset();
    // The watchdogs that came here when their game ended.
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
  }
};
testing::Environment* const environment = testing::AddGlobalTestEnvironment(new XorgEnvironment);

// The polling step of every wait below; each wait has its own deadline.
void Step() { std::this_thread::sleep_for(milliseconds(10)); }

// moody on `display`, its stderr kept.
class Moody {
 public:
  explicit Moody(const std::string& display) {
    int fds[2];
    if (pipe(fds) != 0) return;
    _pid = fork();
    if (_pid == 0) {
      setenv("DISPLAY", display.c_str(), 1);
      dup2(fds[1], 2);
      close(fds[0]);
      close(fds[1]);
      execl(kMoody, "moody", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    _err_fd = fds[0];
  }
  ~Moody() {
    if (_pid > 0 && !_ended) {
      kill(_pid, SIGKILL);
      waitpid(_pid, nullptr, 0);
    }
    if (_err_fd >= 0) close(_err_fd);
  }
  pid_t pid() const { return _pid; }

  // Waits for the end (or, with `stopped`, a stop); false on timeout.
  bool Wait(milliseconds timeout, bool stopped = false) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      if (waitpid(_pid, &status, WNOHANG | (stopped ? WUNTRACED : 0)) == _pid) {
        if (!WIFSTOPPED(status)) _ended = true;
        return true;
      }
      if (Clock::now() >= deadline) return false;
      Step();
    }
  }
  std::string Stderr() {  // once it has ended
    std::string text;
    char buf[512];
    for (ssize_t got; (got = read(_err_fd, buf, sizeof buf)) > 0;) text.append(buf, got);
    return text;
  }
  // The watchdog: moody's one child.
  pid_t WatchdogPid() const {
    std::ifstream children("/proc/" + std::to_string(_pid) + "/task/" + std::to_string(_pid) +
                           "/children");
    pid_t child = -1;
    children >> child;
    return child;
  }
  int status = 0;

 private:
  pid_t _pid = -1;
  int _err_fd = -1;
  bool _ended = false;
};

bool ModeBecomes(const std::string& display, ModeSize size, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (CurrentVideoMode(display) == size) return true;
    Step();
  }
  return CurrentVideoMode(display) == size;
}

// Whether another client holds the keyboard or the pointer (our own grab attempt fails).
bool KeyboardTaken(const std::string& name) {
  Display* d = XOpenDisplay(name.c_str());
  if (!d) return false;
  const int result =
      XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  XUngrabKeyboard(d, CurrentTime);
  XCloseDisplay(d);
  return result != GrabSuccess;
}
bool PointerTaken(const std::string& name) {
  Display* d = XOpenDisplay(name.c_str());
  if (!d) return false;
  const int result = XGrabPointer(d, DefaultRootWindow(d), False, 0, GrabModeAsync, GrabModeAsync,
                                  0, 0, CurrentTime);
  XUngrabPointer(d, CurrentTime);
  XCloseDisplay(d);
  return result != GrabSuccess;
}

// Started, with the game's mode in force and the watchdog running.
void StartPlaying(Moody& moody) {
  ASSERT_GT(moody.pid(), 0);
  ASSERT_TRUE(ModeBecomes(xorg->display_name(), kGame, milliseconds(15000)))
      << "moody did not switch to 800x600";
}

bool ReapWithin(pid_t pid, milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
    Step();
  }
  return false;
}

}  // namespace

TEST(DesktopGuard, EveryCaughtSignalEndsInOrderWithTheDesktopBackFirst) {
  // SIGSEGV and SIGABRT sent from outside are requests to end like the others.
  for (int signo : {SIGQUIT, SIGUSR1, SIGALRM, SIGSEGV, SIGABRT}) {
    SCOPED_TRACE("signal " + std::to_string(signo));
    ASSERT_EQ(CurrentVideoMode(xorg->display_name()), kDesktop);
    Moody moody(xorg->display_name());
    StartPlaying(moody);
    kill(moody.pid(), signo);
    ASSERT_TRUE(moody.Wait(milliseconds(10000)));
    EXPECT_TRUE(WIFSIGNALED(moody.status) && WTERMSIG(moody.status) == signo) << moody.status;
    // Restored by the game itself before it ended, not later by the watchdog.
    EXPECT_EQ(CurrentVideoMode(xorg->display_name()), kDesktop);
    ModeBecomes(xorg->display_name(), kDesktop, milliseconds(2000));
  }
}

TEST(DesktopGuard, SigpipeIsIgnored) {
  Moody moody(xorg->display_name());
  StartPlaying(moody);
  // Pending together, the lower-numbered SIGPIPE is delivered first: it would end the game.
  kill(moody.pid(), SIGPIPE);
  kill(moody.pid(), SIGTERM);
  ASSERT_TRUE(moody.Wait(milliseconds(10000)));
  EXPECT_TRUE(WIFSIGNALED(moody.status) && WTERMSIG(moody.status) == SIGTERM) << moody.status;
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), kDesktop);
}

TEST(DesktopGuard, AfterSigkillTheWatchdogRestoresWithinASecondAndEnds) {
  Moody moody(xorg->display_name());
  StartPlaying(moody);
  const pid_t watchdog = moody.WatchdogPid();
  ASSERT_GT(watchdog, 0) << "no watchdog running";
  kill(moody.pid(), SIGKILL);
  ASSERT_TRUE(moody.Wait(milliseconds(5000)));
  EXPECT_TRUE(ModeBecomes(xorg->display_name(), kDesktop, milliseconds(1000)));
  EXPECT_TRUE(ReapWithin(watchdog, milliseconds(5000))) << "the watchdog outlived the game";
}

TEST(DesktopGuard, AfterACleanEndTheWatchdogLeavesWithoutTouchingTheMode) {
  Moody moody(xorg->display_name());
  StartPlaying(moody);
  const pid_t watchdog = moody.WatchdogPid();
  ASSERT_GT(watchdog, 0);
  kill(moody.pid(), SIGTERM);
  ASSERT_TRUE(moody.Wait(milliseconds(10000)));
  EXPECT_TRUE(ReapWithin(watchdog, milliseconds(5000)));
  EXPECT_EQ(moody.Stderr(), "");
}

// A real fault cannot wait for the main loop: the watchdog restores before the process dies.
TEST(DesktopGuard, ACrashLeavesTheDesktopModeBehind) {
  ChildResult r = RunInChild(xorg->display_name(), [] {
    static TLinuxSystemDriver system_driver;
    static TGLGraphicsDriver gl_driver;
    SetSystemDriver(&system_driver);
    SetGraphicsDriver(&gl_driver);
    if (!OpenGraphics(800, 600, 32, 60, 0)) _exit(3);
    if (CurrentVideoMode(xorg->display_name()) != kGame) _exit(4);
    if (DesktopWatchdogPid() <= 0) _exit(5);
    abort();
  });
  EXPECT_TRUE(r.KilledBy(SIGABRT)) << r.Describe();
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), kDesktop);
}

TEST(DesktopGuard, OfTwoCopiesStartedAtOnceOneRunsAndTheOtherSaysSoAndLeaves) {
  Moody first(xorg->display_name());
  Moody second(xorg->display_name());
  StartPlaying(first);
  // Exactly one of them ends, with status 1 and one line, the game's mode untouched.
  const auto deadline = Clock::now() + milliseconds(15000);
  Moody* loser = nullptr;
  Moody* winner = nullptr;
  while (!loser && Clock::now() < deadline) {
    if (first.Wait(milliseconds(0)))
      loser = &first, winner = &second;
    else if (second.Wait(milliseconds(0)))
      loser = &second, winner = &first;
    Step();
  }
  ASSERT_TRUE(loser) << "both copies kept running";
  EXPECT_TRUE(WIFEXITED(loser->status) && WEXITSTATUS(loser->status) == 1) << loser->status;
  const std::string err = loser->Stderr();
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  EXPECT_NE(err.find("already running"), std::string::npos) << err;
  EXPECT_NE(err.find(xorg->display_name()), std::string::npos) << err;
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), kGame);
  EXPECT_EQ(waitpid(winner->pid(), nullptr, WNOHANG), 0) << "the running copy ended too";
  kill(winner->pid(), SIGTERM);
  ASSERT_TRUE(winner->Wait(milliseconds(10000)));
  EXPECT_EQ(CurrentVideoMode(xorg->display_name()), kDesktop);
}

TEST(DesktopGuard, CtrlZGivesTheDesktopBackAndContinueTakesItAgain) {
  const std::string name = xorg->display_name();
  Moody moody(name);
  StartPlaying(moody);
  const auto grabbed = Clock::now() + milliseconds(5000);
  while (!(KeyboardTaken(name) && PointerTaken(name)) && Clock::now() < grabbed) Step();
  ASSERT_TRUE(KeyboardTaken(name) && PointerTaken(name));

  kill(moody.pid(), SIGTSTP);
  ASSERT_TRUE(moody.Wait(milliseconds(10000), true));
  ASSERT_TRUE(WIFSTOPPED(moody.status)) << moody.status;
  EXPECT_EQ(CurrentVideoMode(name), kDesktop);
  EXPECT_FALSE(KeyboardTaken(name));
  EXPECT_FALSE(PointerTaken(name));

  kill(moody.pid(), SIGCONT);
  EXPECT_TRUE(ModeBecomes(name, kGame, milliseconds(5000)));
  const auto regrabbed = Clock::now() + milliseconds(5000);
  while (!(KeyboardTaken(name) && PointerTaken(name)) && Clock::now() < regrabbed) Step();
  EXPECT_TRUE(KeyboardTaken(name) && PointerTaken(name));
  EXPECT_EQ(waitpid(moody.pid(), nullptr, WNOHANG), 0) << "it did not go on";

  kill(moody.pid(), SIGTERM);
  ASSERT_TRUE(moody.Wait(milliseconds(10000)));
  EXPECT_EQ(CurrentVideoMode(name), kDesktop);
}

TEST(DesktopGuard, AServerThatDiesEndsItWithOneLineAndStatusOne) {
  std::string error;
  auto doomed = TestXServer::StartXorgDummy(&error);
  ASSERT_TRUE(doomed) << error;
  Moody moody(doomed->display_name());
  ASSERT_TRUE(ModeBecomes(doomed->display_name(), kGame, milliseconds(15000)));
  doomed->Kill();
  ASSERT_TRUE(moody.Wait(milliseconds(10000)));
  EXPECT_TRUE(WIFEXITED(moody.status) && WEXITSTATUS(moody.status) == 1) << moody.status;
  EXPECT_EQ(moody.Stderr(),
            "moody: lost the connection to the X display " + doomed->display_name() + "\n");
}

// Xvfb without its GLX extension: the display opens, and the message must say what is missing.
TEST(DesktopGuard, ADisplayWithoutGlxIsNamedAsSuch) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t server = fork();
  if (server == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    freopen("/dev/null", "w", stderr);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-extension", "GLX", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not start";
  const std::string name = ":" + number;
  Moody moody(name);
  ASSERT_TRUE(moody.Wait(milliseconds(10000)));
  EXPECT_TRUE(WIFEXITED(moody.status) && WEXITSTATUS(moody.status) == 1) << moody.status;
  EXPECT_EQ(moody.Stderr(),
            "moody: the X display " + name + " has no GLX: an X11 display with GLX is needed\n");
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
}
