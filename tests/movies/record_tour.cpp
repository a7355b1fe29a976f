// Records the demo's tour into resources/tour: for each of the nine stages that hand over to the
// closing card, the shortest of the seeded random games that ends through it. Run by
// scripts/record-tour.sh after a deliberate change of the story.
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/random_hand.h"

namespace {

constexpr int kSeeds = 1500;
constexpr int kClosingCard = 74;

PlayResult PlayRandomGame(int seed, const std::string& movie = "") {
  RandomHand hand(static_cast<unsigned>(seed));
  PlayOptions options;
  options.seed = seed;
  options.max_frames = 60000;
  options.record_movie = movie;
  return Play(options, std::ref(hand));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const std::vector<int> endings = {34, 35, 38, 41, 42, 44, 48, 50, 51};
  std::map<int, std::pair<int, long>> shortest;  // ending -> seed, frames
  for (int seed = 1; seed <= kSeeds; ++seed) {
    const PlayResult result = PlayRandomGame(seed);
    const std::vector<int> stages = result.stages();
    if (!result.ended || stages.size() < 2 || stages.back() != kClosingCard) continue;
    const int ending = stages[stages.size() - 2];
    auto it = shortest.find(ending);
    if (it == shortest.end() || result.frames < it->second.second) {
      shortest[ending] = {seed, result.frames};
    }
  }
  int missing = 0;
  for (int ending : endings) {
    auto it = shortest.find(ending);
    if (it == shortest.end()) {
      std::fprintf(stderr, "no game of seeds 1 to %d ends through stage %d\n", kSeeds, ending);
      ++missing;
      continue;
    }
    const auto [seed, frames] = it->second;
    PlayRandomGame(seed, std::string(argv[1]) + "/ending_" + std::to_string(ending) + ".movie");
    std::printf("ending %d: seed %d, %ld frames (%.0f s)\n", ending, seed, frames, frames / 60.0);
  }
  return missing == 0 ? 0 : 1;
}
