#!/usr/bin/env bash
# Renders the PNG sizes of the hand-drawn SVG icon (ImageMagick). Run after editing the SVG; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 48 256; do
  convert -background none zelvakon.svg -resize ${size}x${size} -depth 8 -strip "zelvakon-${size}.png"
done
