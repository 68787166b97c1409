#!/usr/bin/env bash
# Installs what is missing, builds Dromo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh dromo
exec build/bin/dromo "$@"
