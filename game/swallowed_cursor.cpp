#include "game/swallowed_cursor.h"

#include "draw2d/render_state.h"
#include "game/cursor_math.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

constexpr int kPushThreshold = 100;
constexpr int kStrongPushX = 300;
constexpr int kStrongPushY = 250;

// One axis of a push: -2..2 pixels.
int PushAlong(int offset, int strong_threshold, bool strong) {
  int push = 0;
  if (offset > kPushThreshold) ++push;
  if (offset > strong_threshold && strong) ++push;
  if (offset < -kPushThreshold) --push;
  if (offset < -strong_threshold && strong) --push;
  return push;
}

}  // namespace

void RecentrePointerAndSampleClicks() {
  MoveMouse(kScreenCentreX, kScreenCentreY);
  g.mouse_clicked = MouseHits(1);
}

int StruggleInsideFace(bool strong_x, bool strong_y) {
  const int dx = PointerX() - kScreenCentreX;
  const int dy = PointerY() - kScreenCentreY;
  g.face_x += PushAlong(dx, kStrongPushX, strong_x);
  g.face_y += PushAlong(dy, kStrongPushY, strong_y);
  RecentrePointerAndSampleClicks();
  return (Abs(dx) + Abs(dy)) / 100;
}

void CutStruggle(int& struggle, int& decay_frame, int divisor) {
  if (g.stage_frame > decay_frame + 40) {
    struggle /= divisor;
    decay_frame = g.stage_frame;
  }
}

void DrawCreasedBrows() {
  SetColor(120, 115, 31);
  DrawLine(7, 33, 16, 23);
  DrawLine(83, 33, 74, 23);
}
