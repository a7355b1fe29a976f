#!/usr/bin/env bash
# Records the demo's tour anew into resources/tour/ (after a deliberate change of the story): one
# seeded random game for each road into the closing card, the shortest found. The movies are
# built into the program; `moody --demo` plays them.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${MOODY_BUILD_DIR:-build}
cmake -S . -B "$dir" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target record_movies
rm -f resources/tour/*.movie
"$dir/tests/record_movies" --tour resources/tour
cmake -S . -B "$dir" >/dev/null  # the new movies are embedded at the next build
du -sh resources/tour
