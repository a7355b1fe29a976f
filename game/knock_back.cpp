#include "game/knock_back.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor_math.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

// Keeps one coordinate in [lo, hi], turning the velocity component back at an edge.
void Bounce(int& position, int& velocity, int lo, int hi) {
  if (position < lo) {
    position = lo;
    velocity = -velocity;
  } else if (position > hi) {
    position = hi;
    velocity = -velocity;
  }
}

}  // namespace

void ClampToFlightBox(int& x, int& y) {
  if (x < kFlightMinX) x = kFlightMinX;
  if (x > kFlightMaxX) x = kFlightMaxX;
  if (y < kFlightMinY) y = kFlightMinY;
  if (y > kFlightMaxY) y = kFlightMaxY;
}

void FlyAndBounce(int& x, int& y, int& vx, int& vy, double decay, int t) {
  const double factor = Pow(decay, t);
  x = TruncToInt(x + factor * vx);
  y = TruncToInt(y + factor * vy);
  Bounce(x, vx, kFlightMinX, kFlightMaxX);
  Bounce(y, vy, kFlightMinY, kFlightMaxY);
}

void KnockCursorBack(int& vx, int& vy, int t) {
  g.mouse_clicked = MouseHits(1);  // presses made while flying are used up
  FlyAndBounce(g.cursor_x, g.cursor_y, vx, vy, double{0.99f}, t);
  MoveMouse(kScreenCentreX, kScreenCentreY);  // the hand's motion of the frame is discarded
  g.look_x = GazeOffset(g.cursor_x, g.face_x);
  g.look_y = GazeOffset(g.cursor_y, g.face_y);
}

void DrawKnockedCursor() {
  SetAlpha(0.7f);
  SetBlend(3);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
}

void DrawWidePupilEyes() {
  SetColor(255, 255, 255);
  DrawOval(10, g.look_y / 3 + 25, 30, 30);
  DrawOval(50, g.look_y / 3 + 25, 30, 30);
  SetColor(0, 0, 0);
  const float dx = 1.2f * static_cast<float>(g.look_x);
  const float y = 30.0f + 1.3f * static_cast<float>(g.look_y);
  DrawOval(15.0f + dx, y, 20, 20);
  DrawOval(55.0f + dx, y, 20, 20);
}

void DrawOpenMouth() {
  SetAlpha(1.0f);
  SetColor(255, 255, 255);
  SetBlend(3);
  DrawImage(g.mouth1_image.get(), 45, 70, 0);
  SetBlend(1);
}
