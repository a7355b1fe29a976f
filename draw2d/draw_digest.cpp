#include "draw2d/draw_digest.h"

#include <cmath>

namespace {
bool on = false;
uint64_t digest = 0;

void Mix(uint64_t word) {
  // FNV-1a, a byte at a time.
  for (int i = 0; i < 8; ++i) {
    digest ^= (word >> (8 * i)) & 0xFF;
    digest *= 0x100000001b3ULL;
  }
}
}  // namespace

void StartDrawDigest() {
  on = true;
  digest = 0xcbf29ce484222325ULL;
}

void StopDrawDigest() { on = false; }

uint64_t DrawDigest() { return digest; }

void DigestDrawCall(DrawOp op, std::initializer_list<double> args) {
  if (!on) return;
  Mix(static_cast<uint64_t>(op));
  for (double a : args) Mix(static_cast<uint64_t>(std::llround(a * 256.0)));
}
