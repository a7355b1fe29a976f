#include "game/cursor.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor_math.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

int CursorAxisStep(int position, double increment) {
  // The sum is rounded to single precision before it is truncated: with speed 0.008 a motion
  // of 125 pixels gives exactly one more pixel.
  return TruncToInt(static_cast<float>(position + increment));
}

int ClampCursorX(int x) {
  if (x > kCursorMaxX) x = kCursorMaxX;
  if (x < kCursorMinX) x = kCursorMinX;
  return x;
}

int ClampCursorY(int y) {
  if (y > kCursorMaxY) y = kCursorMaxY;
  if (y < kCursorMinY) y = kCursorMinY;
  return y;
}

int GazeOffset(int cursor, int face) {
  if (cursor < face - 45) return -5;
  if (cursor > face + 45) return 5;
  return (cursor - face + 45) / 9 - 5;
}

void UpdateCursor(float speed) {
  SetColor(255, 255, 255);
  MoveCursorByPointer(speed, speed);
  ShowMovedCursor(0.7f);
  SetAlpha(1.0f);
}

void MoveCursorByPointer(float speed_x, float speed_y) {
  const int motion_x = PointerX() - kScreenCentreX;
  g.cursor_x = ClampCursorX(CursorAxisStep(g.cursor_x, motion_x * double{speed_x}));
  const int motion_y = PointerY() - kScreenCentreY;
  g.cursor_y = ClampCursorY(CursorAxisStep(g.cursor_y, motion_y * double{speed_y}));
}

void ShowMovedCursor(float alpha) {
  // Back to the centre, so the next frame measures only the motion made meanwhile.
  MoveMouse(kScreenCentreX, kScreenCentreY);
  SetAlpha(alpha);
  SetBlend(3);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
  LookAtCursor();
  g.mouse_clicked = MouseHits(1);
}

void LookAtCursor() {
  g.look_x = GazeOffset(g.cursor_x, g.face_x);
  g.look_y = GazeOffset(g.cursor_y, g.face_y);
}

bool CursorJerked(int x_before, int y_before) {
  return Abs(x_before - g.cursor_x) > 12 || Abs(y_before - g.cursor_y) > 12;
}

int CursorDistance() {
  const double dx = g.face_x - g.cursor_x + 6;
  const double dy = g.face_y - g.cursor_y + 10;
  return TruncToInt(Sqrt(dx * dx + dy * dy));
}

void DriftCursor(float factor) {
  const float motion_x = static_cast<float>(PointerX() - kScreenCentreX);
  g.cursor_x = ClampCursorX(TruncToInt(motion_x * factor + static_cast<float>(g.cursor_x)));
  const float motion_y = static_cast<float>(PointerY() - kScreenCentreY);
  g.cursor_y = ClampCursorY(TruncToInt(motion_y * factor + static_cast<float>(g.cursor_y)));
  MoveMouse(kScreenCentreX, kScreenCentreY);
}
