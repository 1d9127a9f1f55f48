#!/usr/bin/env bash
# Remakes the README's screenshots in docs/screenshots, offscreen (no X server needed).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
BUILD_DIR=$build scripts/build.sh
export XDG_RUNTIME_DIR=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
"$build/tools/zelvakon-screenshots" docs/screenshots
picture="$XDG_RUNTIME_DIR/titulni.bmp"
"$build/tools/zelvakon-presentation-demo" areas "$picture" --make-picture 440x260 --grab docs/screenshots/area-editor.png
"$build/tools/zelvakon-presentation-demo" preview "$picture" --grab docs/screenshots/preview.png
rm -rf "$XDG_RUNTIME_DIR"
