#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>

#include "system/numeric.h"
#include "system/random.h"

// Runs first: the state before any seeding is part of what makes a run replayable.
TEST(RandomTest, StateBeforeSeedingIs4660) { EXPECT_EQ(RandomState(), 4660); }

TEST(RandomTest, GeneratorStepMatchesMinimalStandard) {
  EXPECT_EQ(RandomStep(1), 48271);
  EXPECT_EQ(RandomStep(4660), 224942860);
  // Schrage's form must agree with the plain 64-bit product everywhere, including the ends.
  for (int64_t s : {int64_t{1}, int64_t{2}, int64_t{44487}, int64_t{44488}, int64_t{44489},
                    int64_t{1073741823}, int64_t{2147483645}, int64_t{2147483646}}) {
    EXPECT_EQ(RandomStep(static_cast<int32_t>(s)), s * 48271 % 2147483647) << s;
  }
  for (int64_t s = 1; s < 2147483647; s += 9973121) {
    EXPECT_EQ(RandomStep(static_cast<int32_t>(s)), s * 48271 % 2147483647) << s;
  }
}

TEST(RandomTest, SeedingRules) {
  for (int32_t seed : {0, -1, 0x7fffffff}) {
    SeedRandom(seed);
    EXPECT_EQ(RandomState(), 4660) << seed;
  }
  SeedRandom(-2);
  EXPECT_EQ(RandomState(), 2147483646);
  SeedRandom(123456);
  EXPECT_EQ(RandomState(), 123456);
}

TEST(RandomTest, EveryDrawTakesTwoSteps) {
  SeedRandom(777);
  int32_t expected = RandomStep(RandomStep(777));
  RandomInt(3, 3);
  EXPECT_EQ(RandomState(), expected);
  expected = RandomStep(RandomStep(expected));
  RandomFloat(1.0, 1.0);
  EXPECT_EQ(RandomState(), expected);
  expected = RandomStep(RandomStep(expected));
  RandomInt(-1000000, 1000000);
  EXPECT_EQ(RandomState(), expected);
}

TEST(RandomTest, UnitDrawFromKnownState) {
  // From state 1: steps give 48271 and 182605794; masked to 48268 and 182605792.
  SeedRandom(1);
  EXPECT_DOUBLE_EQ(RandomUnit(), (48268 + 182605792 / 134217728.0) / 536870912.0);
}

TEST(RandomTest, IntegerRangesInEitherOrder) {
  SeedRandom(42);
  std::set<int> up, down;
  for (int i = 0; i < 20000; ++i) {
    int v = RandomInt(0, 30);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 30);
    up.insert(v);
    int w = RandomInt(5, 1);
    ASSERT_GE(w, 1);
    ASSERT_LE(w, 5);
    down.insert(w);
    ASSERT_EQ(RandomInt(3, 3), 3);
    int x = RandomInt(INT_MIN, INT_MAX);  // must not overflow
    (void)x;
  }
  EXPECT_EQ(up.size(), 31u);
  EXPECT_EQ(down.size(), 5u);
}

TEST(RandomTest, RealRangesExcludeTheUpperBound) {
  SeedRandom(99);
  double lowest = 8, highest = 5;
  for (int i = 0; i < 20000; ++i) {
    double v = RandomFloat(5, 8);
    double w = RandomFloat(8, 5);
    ASSERT_GE(v, 5.0);
    ASSERT_LT(v, 8.0);
    ASSERT_GE(w, 5.0);
    ASSERT_LT(w, 8.0);
    lowest = std::min({lowest, v, w});
    highest = std::max({highest, v, w});
    ASSERT_LT(RandomFloat(-0.4, 0.4), 0.4);
    // Here a + r * (b - a) rounds up to b for most r close to 1.
    ASSERT_LT(RandomFloat(1e15, 1e15 + 1), 1e15 + 1);
  }
  EXPECT_LT(lowest, 5.01);
  EXPECT_GT(highest, 7.99);
}

TEST(NumericTest, TruncToIntTruncatesTowardZero) {
  struct Case {
    double in;
    int32_t out;
  };
  for (Case c : {Case{2.7, 2},
                 {2.5, 2},
                 {3.5, 3},
                 {-2.5, -2},
                 {-0.5, 0},
                 {-2.7, -2},
                 {-3.99, -3},
                 {89.9999, 89},
                 {7.0, 7},
                 {-7.0, -7},
                 {0.0, 0},
                 {-0.0, 0},
                 {0.4999999, 0},
                 {1e-300, 0},
                 {-1e-300, 0},
                 {2147483647.0, 2147483647},
                 {-2147483648.0, INT_MIN}}) {
    EXPECT_EQ(TruncToInt(c.in), c.out) << c.in;
  }
  // Just below (in magnitude) an integer must not be rounded up to it.
  for (double n : {1.0, 3.0, 90.0, 1000000.0, 1e9}) {
    EXPECT_EQ(TruncToInt(std::nextafter(n, 0.0)), static_cast<int32_t>(n) - 1) << n;
    EXPECT_EQ(TruncToInt(std::nextafter(-n, 0.0)), -static_cast<int32_t>(n) + 1) << n;
  }
  // Out of range: pinned rather than undefined.
  EXPECT_EQ(TruncToInt(1e12), INT_MAX);
  EXPECT_EQ(TruncToInt(-1e12), INT_MIN);
  EXPECT_EQ(TruncToInt(NAN), 0);
}

TEST(NumericTest, DegreeTrigAndIntegerAbs) {
  EXPECT_NEAR(Cos(60), 0.5, 1e-12);
  EXPECT_DOUBLE_EQ(ACos(0), 90.0);
  EXPECT_EQ(Abs(INT_MIN), INT_MIN);  // no positive counterpart, and no overflow
}
