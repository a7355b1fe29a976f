#include "tests/support/screen_pixels.h"

#include <cstdlib>

::testing::AssertionResult Near(RGB actual, RGB expected) {
  if (std::abs(actual.r - expected.r) <= 2 && std::abs(actual.g - expected.g) <= 2 &&
      std::abs(actual.b - expected.b) <= 2) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "is (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
         << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

int CountColour(const TPixmap& p, RGB colour) {
  int count = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const RGB c = PixelAt(p, x, y);
      if (c.r == colour.r && c.g == colour.g && c.b == colour.b) ++count;
    }
  }
  return count;
}
