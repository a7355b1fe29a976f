// How fast the play harness runs the real game code with the null driver: the full title
// (810 frames and its hand-over) played repeatedly without input, and with a steering player.
#include <chrono>
#include <cstdio>

#include "tests/support/play_harness.h"

namespace {

void Measure(const char* label, int runs, const Player& player) {
  PlayOptions options;
  options.max_frames = 812;
  long frames = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) frames += Play(options, player).frames;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-28s %3d runs  %7ld frames  %8.1f ms  %10.0f frames/s  %6.2f ms/run\n", label, runs,
              frames, seconds * 1000.0, frames / seconds, seconds * 1000.0 / runs);
}

}  // namespace

int main() {
  Measure("title, no input", 50, nullptr);
  Measure("title, steering player", 50, [](PlayerControl& p) {
    if (p.frame() >= 400) p.SteerTipTo(200 + static_cast<int>(p.frame() % 400), 150);
  });
  return 0;
}
