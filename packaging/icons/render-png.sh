#!/usr/bin/env bash
# Renders the program's icon at the hicolor theme's bitmap sizes, beside the
# drawing. Run again after changing org.varnoket.Varnoket.svg and commit the
# PNG files with it (rsvg-convert: Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.varnoket.Varnoket.svg -o "${size}x${size}.png"
done
