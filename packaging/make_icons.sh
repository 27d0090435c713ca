#!/usr/bin/env bash
# Renders the PNG icons from paperdl.svg (committed; run only after changing the SVG).
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128; do
  convert -background none paperdl.svg -resize "${size}x${size}" -depth 8 -strip "paperdl-${size}.png"
done
