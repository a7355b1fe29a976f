#!/usr/bin/env bash
# Installs what is missing, builds moody and runs every test. MOODY_SANITIZE=1 runs them on the AddressSanitizer +
# UndefinedBehaviorSanitizer build instead (in build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
# Works as the very first command on a fresh machine: installs whatever is missing first.
bash scripts/install-deps.sh
jobs=$(nproc)
if [ "${MOODY_SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DMOODY_SANITIZE=ON -DMOODY_BENCH=OFF >/dev/null
else
  dir=build
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j "$jobs"
# The page as well, for the browser test (which runs with the normal build only).
if [ "${MOODY_SANITIZE:-0}" != 1 ]; then bash scripts/build-web.sh; fi
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$jobs"
