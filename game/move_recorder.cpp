#include "game/move_recorder.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor_math.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

// One direction test: extend the entry under way, or begin the next one.
bool Record(int (&moves)[kMoveSlots], int& move_index, MoveDirection direction, int length,
            int min_length) {
  int& current = moves[move_index];
  if (current == kMoveNone || current == direction) {
    current = direction;
    return false;
  }
  ++move_index;
  if (length > min_length && move_index < kMoveSlots) moves[move_index] = direction;
  return true;
}

}  // namespace

void ReadPointerStep(int& step_dx, int& step_dy) {
  step_dx = PointerX() - kScreenCentreX;
  step_dy = PointerY() - kScreenCentreY;
}

void DampWeakerAxis(int& step_dx, int& step_dy) {
  if (Abs(step_dx) < Abs(step_dy)) {
    step_dx = TruncToInt(step_dx * double{0.8f});
  } else {
    step_dy = TruncToInt(step_dy * double{0.8f});
  }
}

void StepCursor(int step_dx, int step_dy, float factor_x, float factor_y) {
  g.cursor_x = ClampCursorX(TruncToInt(g.cursor_x + step_dx * double{factor_x}));
  g.cursor_y = ClampCursorY(TruncToInt(g.cursor_y + step_dy * double{factor_y}));
  MoveMouse(kScreenCentreX, kScreenCentreY);
  SetAlpha(0.7f);
  SetBlend(3);
  DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
}

bool BackingOff(int move, int step_dx, int step_dy) {
  return (move == kMoveRight && step_dx < -2) || (move == kMoveDown && step_dy < -2) ||
         (move == kMoveLeft && step_dx > 2) || (move == kMoveUp && step_dy > 2);
}

bool RecordMove(int (&moves)[kMoveSlots], int& move_index, int ox, int oy,
                const MoveThresholds& thresholds) {
  const int h = thresholds.horizontal_lead;
  const int v = thresholds.vertical_lead;
  const int n = thresholds.min_length;
  bool advanced = false;
  // Each test sees the index the one before left.
  if (ox > Abs(oy) + h) advanced |= Record(moves, move_index, kMoveRight, ox, n);
  if (oy > Abs(ox) + v) advanced |= Record(moves, move_index, kMoveDown, oy, n);
  if (-ox > Abs(oy) + h) advanced |= Record(moves, move_index, kMoveLeft, -ox, n);
  if (-oy > Abs(ox) + v) advanced |= Record(moves, move_index, kMoveUp, -oy, n);
  if (move_index > 0 && move_index < kMoveSlots && moves[move_index - 1] == moves[move_index]) {
    moves[move_index] = kMoveNone;
  }
  return advanced;
}
