#!/usr/bin/env bash
# Remakes the README's screenshots in docs/screenshots, offscreen (no X server needed).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build} scripts/build.sh
export XDG_RUNTIME_DIR=$(mktemp -d)
QT_QPA_PLATFORM=offscreen "${BUILD_DIR:-build}/tools/zelvakon-screenshots" docs/screenshots
