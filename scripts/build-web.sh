#!/usr/bin/env bash
# Builds moody for the browser into build-web/: moody.html (the page), moody.js and moody.wasm.
# Serve that folder from any static server and open moody.html, e.g.
#   (cd build-web && python3 -m http.server 8000)   then http://localhost:8000/moody.html
# Needs Debian's emscripten (scripts/install-deps.sh installs it) and fetches Debian's libpng and
# zlib sources once into build-web/third_party.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Debian's emscripten finds its JavaScript modules there when node is not Debian's own.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
bash scripts/web-sources.sh build-web/third_party
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
  -DMOODY_THIRD_PARTY="$PWD/build-web/third_party" >/dev/null
cmake --build build-web -j "$(nproc)"
