#include "system/numeric.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
}  // namespace

int32_t TruncToInt(double x) {
  // Converting a real outside the integer range is undefined in C++; pin it instead.
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();

  // Round to nearest (ties to even), then step back toward zero when rounding went away from it.
  // The fraction is compared as a 32-bit real, which is what makes 89.9999 come out as 89.
  double n = std::nearbyint(x);
  float f = static_cast<float>(x - n);
  float xf = static_cast<float>(x);
  if (!(xf < 0.0f) && f < 0.0f)
    n -= 1.0;
  else if (xf < 0.0f && f > 0.0f)
    n += 1.0;
  return static_cast<int32_t>(n);
}

int32_t Abs(int32_t i) {
  // The most negative value has no positive counterpart and stays as it is.
  if (i == std::numeric_limits<int32_t>::min()) return i;
  return i < 0 ? -i : i;
}

double Abs(double x) { return std::fabs(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Pow(double x, double y) { return std::pow(x, y); }
double Mod(double x, double y) { return std::fmod(x, y); }
double Sin(double degrees) { return std::sin(degrees * kDegToRad); }
double Cos(double degrees) { return std::cos(degrees * kDegToRad); }
double Tan(double degrees) { return std::tan(degrees * kDegToRad); }
double ASin(double v) { return std::asin(v) * kRadToDeg; }
double ACos(double v) { return std::acos(v) * kRadToDeg; }
double ATan(double v) { return std::atan(v) * kRadToDeg; }
double ATan2(double y, double x) { return std::atan2(y, x) * kRadToDeg; }
