#!/usr/bin/env bash
# Records the story's regression net anew into tests/movies/ (after a deliberate change of the
# story): every journey row that starts at the title, and seeded random games that together take
# every hand-over. `git diff --stat tests/movies` then shows which roads changed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${MOODY_BUILD_DIR:-build}
cmake -S . -B "$dir" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target record_movies moody
rm -f tests/movies/*.movie
"$dir/tests/record_movies" tests/movies
cmake -S . -B "$dir" >/dev/null  # the new movies join the StoryMovies test
"$dir/moody" --verify tests/movies/*.movie | tail -n 1
du -sh tests/movies
