#!/usr/bin/env bash
# A long soak of random play: scripts/soak.sh N [FIRST_SEED] plays N random games from the title
# (seeds FIRST_SEED .. FIRST_SEED + N - 1, default 1) and prints the stages and hand-overs reached.
# A failing game is named by its seed; replay it alone with
#   MOODY_REPLAY_SEED=<seed> <build>/tests/random_play_test --gtest_filter=RandomPlay.ReplayOneGame
# MOODY_BUILD_DIR picks the build directory (default build).
set -euo pipefail
if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]] || { [ $# -ge 2 ] && ! [[ "$2" =~ ^[0-9]+$ ]]; }; then
  echo "usage: $0 GAMES [FIRST_SEED]" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
dir=${MOODY_BUILD_DIR:-build}
bash scripts/install-deps.sh
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOODY_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target random_play_test
MOODY_SOAK_GAMES="$1" MOODY_SOAK_FIRST_SEED="${2:-1}" \
  "$dir/tests/random_play_test" --gtest_filter=RandomPlay.GamesFromTheTitle
