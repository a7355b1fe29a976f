#include "tests/support/x_test_helpers.h"

// gtest before X11: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/xf86vmode.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

ChildResult WaitFor(pid_t pid, int timeout_ms) {
  ChildResult result;
  for (int waited = 0;; waited += 5) {
    pid_t r = waitpid(pid, &result.status, WNOHANG);
    if (r == pid) {
      result.finished = true;
      return result;
    }
    if (r < 0 && errno != EINTR) return result;
    if (waited >= timeout_ms) break;
    usleep(5000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &result.status, 0);
  return result;
}

void EnterChild(const std::string& display) { setenv("DISPLAY", display.c_str(), 1); }

void EndChild() {
  fflush(stdout);
  fflush(stderr);
  _exit(testing::Test::HasFailure() ? 1 : 0);
}

// A display connection of the test's own, separate from the one the code under test holds.
class OwnConnection {
 public:
  explicit OwnConnection(const std::string& name) : display(XOpenDisplay(name.c_str())) {}
  ~OwnConnection() {
    if (display) XCloseDisplay(display);
  }
  Display* display;
};

}  // namespace

bool ChildResult::ExitedWith(int code) const {
  return finished && WIFEXITED(status) && WEXITSTATUS(status) == code;
}

bool ChildResult::KilledBy(int signo) const {
  return finished && WIFSIGNALED(status) && WTERMSIG(status) == signo;
}

std::string ChildResult::Describe() const {
  if (!finished) return "still running at the timeout (killed)";
  if (WIFEXITED(status)) return "exited with " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

ChildResult RunInChild(const std::string& display, const std::function<void()>& body,
                       int timeout_ms) {
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid < 0) return ChildResult{};
  if (pid == 0) {
    EnterChild(display);
    body();
    EndChild();
  }
  return WaitFor(pid, timeout_ms);
}

ChildProcess::ChildProcess(const std::string& display,
                           const std::function<void(ChildProcess&)>& body) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  _read_fd = fds[0];
  _write_fd = fds[1];
  fflush(stdout);
  fflush(stderr);
  _pid = fork();
  if (_pid == 0) {
    close(_read_fd);
    EnterChild(display);
    body(*this);
    EndChild();
  }
  close(_write_fd);
  _write_fd = -1;
}

ChildProcess::~ChildProcess() {
  if (_pid > 0 && !_reaped) {
    kill(_pid, SIGKILL);
    waitpid(_pid, nullptr, 0);
  }
  if (_read_fd >= 0) close(_read_fd);
}

void ChildProcess::Report(const std::string& line) {
  std::string text = line + "\n";
  ssize_t written = write(_write_fd, text.data(), text.size());
  (void)written;
}

std::string ChildProcess::ReadLine(int timeout_ms) {
  for (int waited = 0;;) {
    size_t newline = _buffered.find('\n');
    if (newline != std::string::npos) {
      std::string line = _buffered.substr(0, newline);
      _buffered.erase(0, newline + 1);
      return line;
    }
    if (waited >= timeout_ms) return "";
    pollfd p{_read_fd, POLLIN, 0};
    int r = poll(&p, 1, 50);
    waited += 50;
    if (r > 0) {
      char buf[256];
      ssize_t n = read(_read_fd, buf, sizeof buf);
      if (n <= 0) return "";  // the child has gone
      _buffered.append(buf, static_cast<size_t>(n));
    }
  }
}

ChildResult ChildProcess::Wait(int timeout_ms) {
  ChildResult result = WaitFor(_pid, timeout_ms);
  _reaped = true;
  return result;
}

ModeSize CurrentVideoMode(const std::string& display) {
  OwnConnection c(display);
  ModeSize size;
  if (!c.display) return size;
  int dotclock = 0;
  XF86VidModeModeLine line{};
  if (XF86VidModeGetModeLine(c.display, DefaultScreen(c.display), &dotclock, &line)) {
    size.width = line.hdisplay;
    size.height = line.vdisplay;
    if (line.privsize > 0 && line.c_private) XFree(line.c_private);
  }
  return size;
}

bool QueryRootPointer(const std::string& display, int* x, int* y) {
  OwnConnection c(display);
  if (!c.display) return false;
  Window root, child;
  int wx, wy;
  unsigned mask;
  return XQueryPointer(c.display, DefaultRootWindow(c.display), &root, &child, x, y, &wx, &wy,
                       &mask);
}

void WarpRootPointer(const std::string& display, int x, int y) {
  OwnConnection c(display);
  if (!c.display) return;
  XWarpPointer(c.display, None, DefaultRootWindow(c.display), 0, 0, 0, 0, x, y);
  XSync(c.display, False);
}

long ScreenPixel(const std::string& display, int x, int y) {
  OwnConnection c(display);
  if (!c.display) return -1;
  XImage* image =
      XGetImage(c.display, DefaultRootWindow(c.display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return -1;
  long pixel = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFF);
  XDestroyImage(image);
  return pixel;
}
