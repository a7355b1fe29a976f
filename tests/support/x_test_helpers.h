#pragma once
// Helpers for tests against real X servers: running a piece of a test in a forked child (so the
// process-wide X connection, the video mode and the exit handlers start fresh each time, and
// exits and signals can be observed), and looking at a server from a connection of its own.
#include <sys/types.h>

#include <functional>
#include <string>

struct ChildResult {
  bool finished = false;  // false: it had to be killed after the timeout
  int status = 0;         // waitpid status
  bool ExitedWith(int code) const;
  bool KilledBy(int signo) const;
  std::string Describe() const;
};

// Runs `body` in a forked child with DISPLAY set to `display`. The child's gtest failures are
// printed as they happen and make it exit with 1; a clean run exits with 0 (without running exit
// handlers, so close what you open). The body may also end the process itself.
ChildResult RunInChild(const std::string& display, const std::function<void()>& body,
                       int timeout_ms = 60000);

// A child that keeps running while the test acts on it: `body` runs in the child and may call
// Report() to send one line to the parent.
class ChildProcess {
 public:
  ChildProcess(const std::string& display, const std::function<void(ChildProcess&)>& body);
  ~ChildProcess();                       // kills the child if it still runs
  void Report(const std::string& line);  // from the child
  // From the parent: the next reported line, or "" if the child ended or the timeout passed.
  std::string ReadLine(int timeout_ms = 30000);
  ChildResult Wait(int timeout_ms = 30000);
  pid_t pid() const { return _pid; }

 private:
  pid_t _pid = -1;
  int _read_fd = -1;
  int _write_fd = -1;
  std::string _buffered;
  bool _reaped = false;
};

struct ModeSize {
  int width = 0, height = 0;
  bool operator==(const ModeSize&) const = default;
};
// The video mode in force, asked over a new connection; 0 x 0 if it cannot be asked.
ModeSize CurrentVideoMode(const std::string& display);

// Root-window pointer position, over a new connection.
bool QueryRootPointer(const std::string& display, int* x, int* y);
// Warps the pointer to a root-window position, over a new connection.
void WarpRootPointer(const std::string& display, int x, int y);
// 0xRRGGBB of a screen pixel, over a new connection; -1 if it cannot be read.
long ScreenPixel(const std::string& display, int x, int y);
