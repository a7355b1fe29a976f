#pragma once
// The program's one random generator (minimal-standard, multiplier 48271).
// Every draw consumes exactly two generator steps, so a run replays exactly from its seed.
#include <cstdint>

void SeedRandom(int32_t seed);
int32_t RandomState();                    // the raw generator state, 1..2147483646
int32_t RandomStep(int32_t state);        // one generator step, pure
double RandomUnit();                      // [0, 1)
double RandomFloat(double a, double b);   // between a and b in either order, upper bound excluded
int32_t RandomInt(int32_t a, int32_t b);  // between a and b inclusive, in either order
