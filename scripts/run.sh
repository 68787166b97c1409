#!/usr/bin/env bash
# Installs what is missing, builds Dromo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DDROMO_BUILD_TESTS=OFF
exec build/bin/dromo "$@"
