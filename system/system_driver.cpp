#include "system/system_driver.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "system/polled_input.h"

namespace {
TSystemDriver* current_driver = nullptr;
bool inside_pump = false;

// Posted operations and the wake-up pipe. Never destroyed: a timer thread may still post while
// the process exits, after static destructors have run.
struct PostedState {
  std::mutex mutex;
  std::vector<std::function<void()>> operations;
  std::once_flag pipe_once;
  int read_fd = -1;
};
PostedState& Posted() {
  static PostedState* state = new PostedState;
  return *state;
}
// Read by the signal handler, so kept outside the mutex as a lock-free atomic.
std::atomic<int> wake_write_fd{-1};
static_assert(std::atomic<int>::is_always_lock_free);
// Set after a byte is written, so that the pump reads the pipe only when there is something to
// read: it is pumped many times a frame, and a read that finds nothing is still a system call.
std::atomic<bool> wake_byte_written{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void WriteWakeUpByte(char byte) {
  int fd = wake_write_fd.load();
  if (fd < 0) return;
  // A full pipe already wakes the main thread; the byte is only a signal.
  ssize_t written = write(fd, &byte, 1);
  (void)written;
  // After the write: a reader that sees the flag finds the byte.
  wake_byte_written.store(true);
}

// Set by the signal handler, on whichever thread the signal lands; lock-free like the above.
std::atomic<int> exit_signal{0};
std::function<void(int)>& ExitHandler() {
  static std::function<void(int)> handler;
  return handler;
}

// Clears the re-entrancy flag even if a listener throws.
struct PumpGuard {
  PumpGuard() { inside_pump = true; }
  ~PumpGuard() { inside_pump = false; }
};

void DrainWakeUpPipe(int fd) {
  char buffer[256];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
}
}  // namespace

void EnsureWakeUpPipe() {
  PostedState& s = Posted();
  std::call_once(s.pipe_once, [&s] {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
      s.read_fd = fds[0];
      wake_write_fd.store(fds[1]);
    }
  });
}

TSystemDriver* CurrentSystemDriver() { return current_driver; }

void SetSystemDriver(TSystemDriver* driver) {
  EnsureWakeUpPipe();
  current_driver = driver;
}

bool InsideSystemPump() { return inside_pump; }

void PollSystem() {
  if (!current_driver || inside_pump) return;
  PumpGuard guard;
  current_driver->Poll();
}

void WaitSystem() {
  if (!current_driver || inside_pump) return;
  PumpGuard guard;
  current_driver->Wait();
}

void MoveMouse(int x, int y) {
  if (!current_driver) return;
  current_driver->MoveMouse(x, y);
  // The game reads the pointer where it put it, whenever the driver's own report comes back.
  NotePointerWarp(x, y);
}

void SetMouseVisible(bool visible) {
  if (current_driver) current_driver->SetMouseVisible(visible);
}

void PostOperation(std::function<void()> op) {
  EnsureWakeUpPipe();
  PostedState& s = Posted();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.operations.push_back(std::move(op));
  WriteWakeUpByte(1);
}

void RunPostedOperations() {
  PostedState& s = Posted();
  std::vector<std::function<void()>> taken;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    taken.swap(s.operations);
    // Drained even when nothing was posted: a signal's wake-up byte comes without an operation
    // and would otherwise keep select() returning at once.
    if (s.read_fd >= 0 && wake_byte_written.exchange(false)) DrainWakeUpPipe(s.read_fd);
  }
  for (size_t i = 0; i < taken.size(); ++i) {
    try {
      taken[i]();
    } catch (...) {
      // The operations not yet run go back to the front, so that no tick is lost.
      std::lock_guard<std::mutex> lock(s.mutex);
      s.operations.insert(s.operations.begin(), std::make_move_iterator(taken.begin() + i + 1),
                          std::make_move_iterator(taken.end()));
      throw;
    }
  }
}

bool PostedOperationsPending() {
  PostedState& s = Posted();
  std::lock_guard<std::mutex> lock(s.mutex);
  return !s.operations.empty();
}

int WakeUpFd() {
  EnsureWakeUpPipe();
  return Posted().read_fd;
}

void RequestExitFromSignal(int signo) {
  // Async-signal-safe: a lock-free atomic store and one write(); errno is the interrupted code's.
  int saved_errno = errno;
  exit_signal.store(signo);
  WriteWakeUpByte(0);
  errno = saved_errno;
}

void SetExitRequestHandler(std::function<void(int signo)> handler) {
  // Whoever sets the handler installs the signal handlers next; the pipe must exist by then.
  EnsureWakeUpPipe();
  ExitHandler() = std::move(handler);
}

void CheckExitRequest() {
  const int signo = exit_signal.exchange(0);
  if (signo == 0) return;
  if (ExitHandler()) {
    ExitHandler()(signo);
  } else {
    _exit(128 + signo);
  }
}
