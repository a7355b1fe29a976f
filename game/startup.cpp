#include "game/startup.h"

#include <cstdio>
#include <cstdlib>

#include "display/gl_graphics.h"
#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor_math.h"
#include "game/stage_machine.h"
#include "game/state.h"
#include "resources/embedded_files.h"
#include "system/clock.h"
#include "system/event_queue.h"
#include "system/polled_input.h"
#include "system/random.h"
#include "system/system_driver.h"
#include "system/timer.h"

namespace {

bool seed_override = false;
int seed_value = 0;

// Without a display there is nothing to show: say which display failed and why, in one line,
// and end with a failure status.
[[noreturn]] void FailWithoutDisplay() {
  const char* name = LastDisplayNameTried();
  if (name == nullptr || *name == '\0') name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') name = "(none)";
  const char* why = LastDisplayFailure();
  if (why == nullptr || *why == '\0') why = "an X11 display with OpenGL is needed";
  std::fprintf(stderr, "moody: cannot open display %s: %s\n", name, why);
  std::fflush(stderr);
  EndProgram(1);
}

}  // namespace

void SetStartupSeedOverride(bool use_override, int seed) {
  seed_override = use_override;
  seed_value = seed;
}

void StartGame() {
  OpenGameDisplay();
  StartStory();
}

void OpenGameDisplay() {
  RegisterBuiltinPictures();
  InstallEventQueue();
  AutoMidHandle(true);
  if (!OpenGraphics(800, 600, 32, 60, 0)) FailWithoutDisplay();
  // Input is sampled once per frame, so a session replays from its seed and frames.
  SetFrameSampling(true);
}

void StartStory() {
  // The first presented frame is the cleared screen.
  Cls();
  Flip(-1);
  Cls();

  g.face_image = CreateImage(90, 90, 1, 9);
  g.closed_eye_image = CreateImage(30, 30, 1, 9);
  g.mouth1_image = LoadImage("incbin::mouth1.png", -1);
  g.mouth2_image = LoadImage("incbin::mouth2.png", -1);
  g.mouth3_image = LoadImage("incbin::mouth3.png", -1);
  g.mouth4_image = LoadImage("incbin::mouth4.png", -1);
  g.mouth5_image = LoadImage("incbin::mouth5.png", -1);
  g.eye2_image = LoadImage("incbin::eye2.png", -1);
  g.end_image = LoadImage("incbin::end.png", -1);

  g.frame_timer = CreateTimer(60.0);
  // Every frame waits for this timer: without it the game would hang on its first frame.
  if (!g.frame_timer) {
    std::fprintf(stderr, "moody: cannot start the frame timer\n");
    EndProgram(1);
  }
  SeedRandom(seed_override ? seed_value : ClockMillis());

  SetMouseVisible(false);
  MoveMouse(kScreenCentreX, kScreenCentreY);

  // The cursor's red background is masked out; the title pictures are loaded under the same
  // mask colour.
  SetBlend(1);
  SetMaskColor(255, 0, 0);
  g.cursor_image = LoadImage("incbin::cursor.png", 1);
  if (g.stage == 0) {
    g.title_image = LoadImage("incbin::Title.png", -1);
    g.title2_image = LoadImage("incbin::title2.png", -1);
  }
}
