#include "game/headless_run.h"

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"
#include "game/frame_hold.h"
#include "game/stage_machine.h"
#include "game/startup.h"
#include "game/state.h"
#include "system/clock.h"
#include "system/event_queue.h"
#include "system/polled_input.h"
#include "system/random.h"
#include "system/system_driver.h"

namespace {

// Thrown through the game's code back to Play(): the program ended.
struct ProgramEnded {
  int status;
};

// What a run installs in the process, taken away again; the game state stays to be looked at.
void UninstallRun() {
  ResetEventQueue();
  if (PolledInputRunning()) StopPolledInput();
  SetFrameInputFilter(nullptr);
  SetEndProgramHandler(nullptr);
  SetStartupSeedOverride(false, 0);
  StopFrameHold();
}

}  // namespace

HeadlessRun::HeadlessRun(int seed, std::unique_ptr<TQuill2DDriver> draw) : _draw(std::move(draw)) {
  UninstallRun();
  ResetGameState();
  SeedRandom(4660);
  AutoMidHandle(false);
  SetMaskColor(0, 0, 0);
  if (!_draw) _draw = std::make_unique<TNullQuill2DDriver>();
  SetClock(&_clock);
  _system.ConfinePointer(800, 600);  // the game grabs the pointer inside its 800x600 window
  SetSystemDriver(&_system);
  SetGraphicsDriver(_draw.get());
  SetStartupSeedOverride(true, seed);
  SetEndProgramHandler([](int status) { throw ProgramEnded{status}; });
}

HeadlessRun::~HeadlessRun() {
  if (g.frame_timer) g.frame_timer->Stop();
  RunPostedOperations();  // lets the stopped timer's last ticks go while its clock still exists
  g.frame_timer.reset();
  // Images go while their display is still open: their textures belong to it.
  for (auto* image : {&g.face_image, &g.closed_eye_image, &g.cursor_image, &g.mouth1_image,
                      &g.mouth2_image, &g.mouth3_image, &g.mouth4_image, &g.mouth5_image,
                      &g.eye2_image, &g.end_image, &g.title_image, &g.title2_image}) {
    image->reset();
  }
  CloseGraphics();
  UninstallRun();
  SetSystemDriver(nullptr);
  SetGraphicsDriver(nullptr);
  SetClock(nullptr);
}

int HeadlessRun::Play(const std::function<void()>& body) {
  try {
    if (body) {
      body();
    } else {
      StartGame();
      RunStages();
    }
    return 0;
  } catch (const ProgramEnded& end) {
    return end.status;
  }
}
