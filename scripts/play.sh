#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $PLAY_PACKAGES
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DCHROMELLY_TESTS=OFF -DCHROMELLY_BENCH=OFF >/dev/null
cmake --build build-play -j"$(nproc)" --target chromelly
exec ./build-play/chromelly
