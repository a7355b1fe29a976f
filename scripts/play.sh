#!/usr/bin/env bash
# Installs what is missing, builds moody and starts it on the current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target moody
exec ./build/moody
