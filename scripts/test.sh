#!/usr/bin/env bash
# Installs what is missing, builds Dromo with its tests and runs every test;
# then builds the toolkit-free base with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs its tests again under them, and where
# clang has libFuzzer replays the fuzz targets' seeds under it as well.
# Extra arguments go to both ctest runs (for example -L base).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --browser-tests

CMAKE_OPTIONS="-DDROMO_BUILD_TESTS=ON" scripts/build.sh
ctest --test-dir build --output-on-failure -j2 "$@"

BUILD_DIR=build-asan CMAKE_OPTIONS="-DDROMO_BUILD_TESTS=ON -DDROMO_SANITIZE=ON -DDROMO_BASE_ONLY=ON -DCMAKE_BUILD_TYPE=Debug" \
  scripts/build.sh
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -L base

# The plain build has replayed the fuzz seeds already; this replays them
# under libFuzzer with both sanitizers (or says why it cannot).
scripts/fuzz.sh --replay
