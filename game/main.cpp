// moody: the real drivers (X11 input, the system clock, OpenGL drawing), then the game. The
// display restores the desktop on every way out (exit, signals, a lost connection).
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "display/display_request.h"
#include "draw2d/gl_quill2d_driver.h"
#include "game/command_line.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "system/clock.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"

int main(int argc, char** argv) {
  // --help, --version and mistakes end here, before any display is opened.
  const CommandLine command_line = ParseCommandLine(argc, argv);
  if (const int status = AnswerCommandLine(command_line, std::cout, std::cerr); status >= 0)
    return status;
  // --window, or MOODY_WINDOW=1: an ordinary window instead of full screen.
  const char* window_env = std::getenv("MOODY_WINDOW");
  RequestWindowedDisplay(command_line.window ||
                         (window_env != nullptr && std::string_view(window_env) == "1"));

  static TLinuxSystemDriver system_driver;
  static TGLQuill2DDriver draw_driver;
  SetClock(nullptr);
  SetSystemDriver(&system_driver);
  SetGraphicsDriver(&draw_driver);

  StartGame();
  RunStages();
  return 0;
}
