#!/usr/bin/env bash
# Fuzzes the PNG loader with libFuzzer for N seconds (default 30), starting from the ten built-in
# pictures. Needs clang; without it says so and does nothing. Findings are left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
if ! command -v clang++ >/dev/null; then
  echo "fuzz-png: clang++ not found, skipping the PNG fuzzer"
  exit 0
fi
out=build-fuzz
mkdir -p "$out/corpus" "$out/findings"
cp resources/pictures/*.png "$out/corpus/"
cmake -DOUT="$out/picture_bytes.cpp" -DDIR="$PWD/resources/pictures" \
  -DEXT=png -DHEADER=resources/picture_bytes.h -DTYPE=PictureBytes -DFUNCTION=BuiltinPictureBytes \
  -P scripts/embed_files.cmake
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. tests/fuzz/png_loader_fuzz.cpp resources/png_loader.cpp resources/stream.cpp \
  resources/ram_stream.cpp resources/file_stream.cpp resources/embedded_files.cpp \
  draw2d/pixmap.cpp "$out/picture_bytes.cpp" $(pkg-config --cflags --libs libpng) -o "$out/png_loader_fuzz"
# -rss_limit_mb: the loader's own cap (16 megapixels, 64 MB as RGBA) plus the sanitizers' share.
"$out/png_loader_fuzz" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 \
  -artifact_prefix="$out/findings/" -print_final_stats=1 "$out/corpus" 2>&1 | tail -n 12
