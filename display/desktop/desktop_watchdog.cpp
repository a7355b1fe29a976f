#include "display/desktop/desktop_watchdog.h"

#include <X11/Xlib.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <climits>

namespace {

// One byte per message from the game to the watchdog; the watchdog answers kRestoreNow with
// kRestored.
constexpr char kArm = 'A';
constexpr char kDisarm = 'D';
constexpr char kRestoreNow = 'R';
constexpr char kRestored = 'r';

std::atomic<int> game_fd{-1};
pid_t watchdog_pid = -1;
// A forked copy of the game (a test's child) inherits the fields, not the watchdog.
pid_t owner_pid = -1;

bool Owned() { return owner_pid == getpid(); }
volatile sig_atomic_t parent_died = 0;

void OnParentDeath(int) { parent_died = 1; }

int QuietIOError(Display*) { _exit(0); }

void WriteByte(int fd, char byte) {
  while (write(fd, &byte, 1) < 0 && errno == EINTR) {
  }
}

[[noreturn]] void RunWatchdog(int fd, pid_t parent, DesktopSnapshot snapshot) {
  // The game's terminal signals (Ctrl-C, Ctrl-\, Ctrl-Z reach the whole process group) are the
  // game's business: the watchdog stays until the game is gone.
  for (int signo : {SIGINT, SIGQUIT, SIGTSTP, SIGHUP, SIGTERM, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM,
                    SIGTTIN, SIGTTOU}) {
    signal(signo, SIG_IGN);
  }
  struct sigaction death {};
  death.sa_handler = OnParentDeath;  // no SA_RESTART: it must interrupt the read below
  sigaction(SIGURG, &death, nullptr);
  prctl(PR_SET_PDEATHSIG, SIGURG);
  // The parent may have gone between fork() and prctl().
  if (getppid() != parent) parent_died = 1;
  // Xlib's handlers are the game's, which would end this process through the game's exit path.
  XSetIOErrorHandler(QuietIOError);
  bool armed = false;
  for (;;) {
    char byte = 0;
    ssize_t got = parent_died ? 0 : read(fd, &byte, 1);
    if (got < 0 && errno == EINTR && !parent_died) continue;
    if (got <= 0) break;  // EOF, or the parent-death signal: the game is gone
    if (byte == kArm) armed = true;
    if (byte == kDisarm) armed = false;
    if (byte == kRestoreNow) {
      if (armed) RestoreDesktopSnapshotOverNewConnection(snapshot);
      armed = false;
      WriteByte(fd, kRestored);
    }
  }
  if (armed) RestoreDesktopSnapshotOverNewConnection(snapshot);
  _exit(0);
}

}  // namespace

bool StartDesktopWatchdog(const DesktopSnapshot& snapshot) {
  if (watchdog_pid > 0 && Owned()) return true;
  if (watchdog_pid > 0) {
    close(game_fd.exchange(-1));
    watchdog_pid = -1;
  }
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    // Nothing of the game's may stay open here: a copy of its X socket would keep its connection
    // (grabs, selection, window) alive after the game's death.
    if (fds[1] != 3) dup2(fds[1], 3);  // also closes fds[0] if that was 3
    close_range(4, UINT_MAX, 0);
    RunWatchdog(3, parent, snapshot);
  }
  close(fds[1]);
  watchdog_pid = pid;
  owner_pid = parent;
  game_fd.store(fds[0]);
  return true;
}

void ArmDesktopWatchdog(bool armed) {
  const int fd = game_fd.load();
  if (fd >= 0 && Owned()) WriteByte(fd, armed ? kArm : kDisarm);
}

bool DesktopWatchdogRestoreNow(int timeout_ms) {
  const int fd = game_fd.load();
  if (fd < 0 || !Owned()) return false;
  WriteByte(fd, kRestoreNow);
  pollfd p{fd, POLLIN, 0};
  char byte = 0;
  return poll(&p, 1, timeout_ms) == 1 && read(fd, &byte, 1) == 1 && byte == kRestored;
}

pid_t DesktopWatchdogPid() { return Owned() ? watchdog_pid : -1; }
