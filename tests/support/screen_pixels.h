#pragma once
// Reading colours back from a grabbed screen in pixel tests.
#include <gtest/gtest.h>

#include "draw2d/pixmap.h"

struct RGB {
  int r, g, b;
};

inline RGB PixelAt(const TPixmap& p, int x, int y) {
  uint8_t rgba[4];
  p.GetRGBA(x, y, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}

// Within 2 per channel: the renderer may round a blend differently by a step.
::testing::AssertionResult Near(RGB actual, RGB expected);

// Pixels of exactly that colour in the whole pixmap.
int CountColour(const TPixmap& p, RGB colour);
