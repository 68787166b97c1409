#!/usr/bin/env bash
# Configures and builds Dromo in build/ (or the folder in $BUILD_DIR); extra
# arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" -j2
