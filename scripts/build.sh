#!/usr/bin/env bash
# Configures and builds Dromo in build/ (or $BUILD_DIR). Arguments name the
# targets to build (all when none); CMake options go in $CMAKE_OPTIONS.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
# A compiler cache, where one is installed, makes rebuilds of unchanged
# sources cheap; a fresh machine builds without one.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -G Ninja "${launcher[@]}" ${CMAKE_OPTIONS:-} >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j2 "${targets[@]}"
