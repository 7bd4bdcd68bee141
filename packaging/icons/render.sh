#!/usr/bin/env bash
# Renders the icon's PNG sizes from the two SVG drawings beside this script. The PNGs
# are committed, so building the package needs no SVG renderer; run this (it needs
# rsvg-convert from Debian's librsvg2-bin) after changing a drawing, and commit the result.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  source=tallowmere.svg
  if [ "$size" -le 32 ]; then source=tallowmere-small.svg; fi
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" --output "hicolor/${size}x${size}/apps/tallowmere.png" "$source"
done
