// moody: the real drivers (X11 input, the system clock, OpenGL drawing), then the game. The
// display restores the desktop on every way out (exit, signals, a lost connection).
#include "draw2d/gl_quill2d_driver.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

int main() {
  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);

  StartGame();
  RunStages();
  return 0;
}
