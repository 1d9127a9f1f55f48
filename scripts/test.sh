#!/usr/bin/env bash
# Builds and runs every test headless. Extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh "$@"
cd "${BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j2
