#include "game/frame_hold.h"

#include <utility>

#include "display/graphics.h"
#include "game/stage_machine.h"
#include "system/event.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

constexpr int kEscapeKey = 27;

struct Hold {
  int64_t frame = 0;
  int64_t presented = 0;
  std::function<void(int64_t)> on_hold;
  std::function<int64_t()> moved_on;
  int flip_hook = 0;
};
Hold* hold = nullptr;

// Runs before frame k + 1 is presented, so frame k is what the screen shows meanwhile. Frames
// count as a movie counts them: from the game's first, not the display's clearing flips.
void HoldBeforePresenting() {
  if (!FrameSamplingOn() || hold->presented++ != hold->frame) return;
  if (hold->on_hold) hold->on_hold(hold->frame);
  // The game's own Escape check samples input once per frame, and no frame is sampled here.
  bool escape = false;
  const int key_hook = EmitEventHooks().Add(
      [&escape](const TEvent& e) {
        if (e.id == EventId::KeyDown && e.data == kEscapeKey) escape = true;
      },
      1);
  for (;;) {
    WaitSystem();
    if (escape) {
      EmitEventHooks().Remove(key_hook);
      EndProgram(0);
    }
    if (const int64_t next = hold->moved_on ? hold->moved_on() : 0; next > hold->frame) {
      hold->frame = next;
      break;
    }
  }
  EmitEventHooks().Remove(key_hook);
}

}  // namespace

void HoldAtFrame(int64_t frame, std::function<void(int64_t)> on_hold,
                 std::function<int64_t()> moved_on) {
  StopFrameHold();
  hold = new Hold{frame, 0, std::move(on_hold), std::move(moved_on), 0};
  hold->flip_hook = FlipHooks().Add([](const int&) { HoldBeforePresenting(); }, -100);
}

void StopFrameHold() {
  if (!hold) return;
  FlipHooks().Remove(hold->flip_hook);
  delete hold;
  hold = nullptr;
}
