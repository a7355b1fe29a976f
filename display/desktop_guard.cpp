#include "display/desktop_guard.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "display/glx_display.h"
#include "display/graphics.h"
#include "display/x11_video_mode.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

bool guarded = false;

void CloseEverything() {
  CloseGraphics();
  CloseAllGLXDisplays();
}

// Runs on the main thread after the pump that noticed the signal; then the signal takes its
// usual course, so whoever started the process sees how it ended.
void EndOnSignal(int signo) {
  CloseEverything();
  std::signal(signo, SIG_DFL);
  std::raise(signo);
  _exit(128 + signo);
}

// Xlib ends the process after this handler with exit(), whose handlers would talk to the dead
// connection again; the mode is restored over a new connection and the process leaves at once.
int OnConnectionLost(Display*) {
  RestoreVideoModeOnNewConnection();
  _exit(1);
}

}  // namespace

void GuardDesktopOnce() {
  if (guarded) return;
  guarded = true;
  std::atexit(CloseEverything);
  XSetIOErrorHandler(OnConnectionLost);
  SetExitRequestHandler(EndOnSignal);
  // Closing the window is the player's way out, like Escape: status 0, the desktop put back.
  SetWindowCloseHandler([] { std::exit(0); });
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal the starter chose to ignore (SIGHUP under nohup) stays ignored.
    struct sigaction previous {};
    if (sigaction(signo, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    std::signal(signo, RequestExitFromSignal);
  }
}
