#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: unit and headless tests,
# end-to-end tests of the real game under Xvfb, and the same unit and headless
# tests again in a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $TEST_PACKAGES
jobs="$(nproc)"

echo "== Build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHROMELLY_WERROR=ON >/dev/null
cmake --build build -j"$jobs"

echo "== Sanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCHROMELLY_SANITIZE=ON -DCHROMELLY_BENCH=OFF -DCHROMELLY_WERROR=ON \
  >/dev/null
cmake --build build-asan -j"$jobs" --target chromelly_tests chromelly_soak

echo "== Unit, headless and end-to-end tests"
status=0
ctest --test-dir build --output-on-failure -j"$jobs" || status=1

echo "== Unit and headless tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE "e2e|tools" || status=1

exit $status
