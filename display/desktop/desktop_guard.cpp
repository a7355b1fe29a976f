#include "display/desktop/desktop_guard.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "display/desktop/desktop_watchdog.h"
#include "display/glx_display.h"
#include "display/graphics.h"
#include "display/x11_video_mode.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

// How long a crashing process waits for the watchdog to have put the desktop back.
constexpr int kCrashRestoreTimeoutMillis = 2000;

bool guarded = false;
struct sigaction previous_fault_action[NSIG];

void CloseEverything() {
  CloseGraphics();
  CloseAllGLXDisplays();
}

void InstallOrderly(int signo) {
  struct sigaction action {};
  action.sa_handler = RequestExitFromSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signo, &action, nullptr);
}

// Ctrl-Z: the desktop is given back before the process stops and taken again when it goes on;
// the game's loop simply continues where it was. SIGSTOP rather than a second SIGTSTP: the
// latter is dropped by the kernel in an orphaned process group, and then the game would not stop.
void StopForJobControl() {
  SuspendGLXDisplay();
  raise(SIGSTOP);
  ResumeGLXDisplay();
}

// Runs on the main thread after the pump that noticed the signal; then the signal takes its
// usual course, so whoever started the process sees how it ended.
void EndOnSignal(int signo) {
  if (signo == SIGTSTP) {
    StopForJobControl();
    return;
  }
  CloseEverything();
  signal(signo, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signo);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signo);
  _exit(128 + signo);
}

// A fault signal sent by someone else is a request to end like any other; a real fault (or
// abort()) cannot wait for the main loop: the watchdog puts the desktop back while this thread
// waits, then the fault takes the course it had before (the default action, or a sanitizer's
// report).
void OnFault(int signo, siginfo_t* info, void*) {
  const bool from_outside =
      info && (info->si_code == SI_USER || info->si_code == SI_QUEUE) && info->si_pid != getpid();
  if (from_outside) {
    RequestExitFromSignal(signo);
    return;
  }
  DesktopWatchdogRestoreNow(kCrashRestoreTimeoutMillis);
  sigaction(signo, &previous_fault_action[signo], nullptr);
  const struct sigaction& was = previous_fault_action[signo];
  const bool was_default = !(was.sa_flags & SA_SIGINFO) && was.sa_handler == SIG_DFL;
  // Pending until the handler returns; a real fault would come again by itself anyway.
  if (was_default) raise(signo);
}

// Xlib ends the process after this handler with exit(), whose handlers would talk to the dead
// connection again; the mode is restored over a new connection and the process leaves at once.
int OnConnectionLost(Display* display) {
  std::fprintf(stderr, "moody: lost the connection to the X display %s\n", DisplayString(display));
  std::fflush(stderr);
  RestoreVideoModeOnNewConnection();
  _exit(1);
}

// Every signal whose default is to end the process and that the game does not use itself (the
// real-time ones belong to the libraries).
constexpr int kOrderlyEndSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM,  SIGUSR1,
                                      SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,  SIGXCPU,
                                      SIGXFSZ, SIGIO,   SIGPWR,    SIGSTKFLT};
// Raised by a fault in the process itself (or abort()), or sent by someone else.
constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP};

}  // namespace

void GuardDesktopOnce() {
  if (guarded) return;
  guarded = true;
  std::atexit(CloseEverything);
  XSetIOErrorHandler(OnConnectionLost);
  SetExitRequestHandler(EndOnSignal);
  // Closing the window is the player's way out, like Escape: status 0, the desktop put back.
  SetWindowCloseHandler([] { std::exit(0); });
  // A write to a closed pipe or socket is an error to its caller, not the end of the game.
  signal(SIGPIPE, SIG_IGN);
  for (int signo : kOrderlyEndSignals) {
    // A signal the starter chose to ignore (SIGHUP under nohup) stays ignored.
    struct sigaction previous {};
    if (sigaction(signo, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    InstallOrderly(signo);
  }
  InstallOrderly(SIGTSTP);
  for (int signo : kFaultSignals) {
    struct sigaction action {};
    action.sa_sigaction = OnFault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO;
    sigaction(signo, &action, &previous_fault_action[signo]);
  }
}

void EndAtOnceOnSignal(int signo) {
  struct sigaction action {};
  action.sa_handler = [](int) { _exit(0); };
  sigemptyset(&action.sa_mask);
  sigaction(signo, &action, nullptr);
}
