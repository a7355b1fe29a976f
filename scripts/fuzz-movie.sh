#!/usr/bin/env bash
# Fuzzes the movie reader with libFuzzer for N seconds (default 10), starting from the movies in
# tests/movies/. Needs clang; without it says so and does nothing. Findings are left in
# build-fuzz/movie-findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
if ! command -v clang++ >/dev/null; then
  echo "fuzz-movie: clang++ not found, skipping the movie fuzzer"
  exit 0
fi
out=build-fuzz
mkdir -p "$out/movie-corpus" "$out/movie-findings"
cp tests/movies/*.movie "$out/movie-corpus/" 2>/dev/null || true
printf 'moody-movie 1\nseed 7\nstill 3\nin 4 -2 1 0\ncheck 4 0 0123456789abcdef\nend 4 0\n' \
  >"$out/movie-corpus/small.movie"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. tests/fuzz/movie_reader_fuzz.cpp game/movie/movie_reader.cpp -o "$out/movie_reader_fuzz"
"$out/movie_reader_fuzz" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=4096 \
  -artifact_prefix="$out/movie-findings/" -print_final_stats=1 "$out/movie-corpus" 2>&1 | tail -n 12
