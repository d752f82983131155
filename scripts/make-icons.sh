#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into the hicolor tree
# beside it. The PNGs are committed, so a build needs no SVG renderer; run this
# again after changing the SVG. Needs rsvg-convert (Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."

icons=dist/icons/hicolor
svg="$icons/scalable/apps/io.github.navora.Navora.svg"

if ! command -v rsvg-convert >/dev/null; then
  echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
fi

for size in 16 22 24 32 48 64 128 256; do
  dir="$icons/${size}x${size}/apps"
  mkdir -p "$dir"
  rsvg-convert --width "$size" --height "$size" "$svg" --output "$dir/io.github.navora.Navora.png"
done
echo "Rendered $svg into $icons"
