// moody: the real drivers (X11 input, the system clock, OpenGL drawing), then the game.
#include <csignal>
#include <cstdlib>

#include "draw2d/gl_quill2d_driver.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

namespace {

// A signal must not leave the desktop in the game's video mode: the request is taken on the
// main thread after its next pump and leaves through exit, whose handlers restore the display.
void InstallSignalExit() {
  SetExitRequestHandler([](int signo) { std::exit(128 + signo); });
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) std::signal(signo, RequestExitFromSignal);
}

}  // namespace

int main() {
  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);
  InstallSignalExit();

  StartGame();
  RunStages();
  return 0;
}
