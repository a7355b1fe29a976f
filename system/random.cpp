#include "system/random.h"

#include <cmath>

namespace {
constexpr int32_t kModulus = 2147483647;  // 2^31 - 1
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kQuotient = 44488;  // kModulus / kMultiplier
constexpr int32_t kRemainder = 3399;  // kModulus % kMultiplier
constexpr int32_t kDefaultState = 4660;

int32_t state = kDefaultState;
}  // namespace

void SeedRandom(int32_t seed) {
  state = seed & 0x7fffffff;
  if (state == 0 || state == kModulus) state = kDefaultState;
}

int32_t RandomState() { return state; }

int32_t RandomStep(int32_t s) {
  // Schrage's form of 48271 * s mod (2^31 - 1): no intermediate leaves 32 bits.
  int32_t next = kMultiplier * (s % kQuotient) - kRemainder * (s / kQuotient);
  if (next < 0) next += kModulus;
  return next;
}

double RandomUnit() {
  state = RandomStep(state);
  int32_t a = state & 0x1ffffffc;
  state = RandomStep(state);
  int32_t b = state & 0x1ffffff8;
  return (a + b / 134217728.0) / 536870912.0;
}

double RandomFloat(double a, double b) {
  double r = RandomUnit();
  double lo = b > a ? a : b;
  double hi = b > a ? b : a;
  double v = lo + r * (hi - lo);
  // r is below 1, but the sum can still round up to the upper bound, which is excluded.
  if (v >= hi && hi > lo) v = std::nextafter(hi, lo);
  return v;
}

int32_t RandomInt(int32_t a, int32_t b) {
  double r = RandomUnit();
  // Widened so that extreme bounds cannot overflow. std::trunc agrees with TruncToInt on every
  // value TruncToInt can hold, and r * span stays below span for every span.
  int64_t d = int64_t{b} - int64_t{a};
  if (d > 0) return static_cast<int32_t>(a + static_cast<int64_t>(std::trunc(r * (d + 1))));
  return static_cast<int32_t>(b + static_cast<int64_t>(std::trunc(r * (1 - d))));
}
