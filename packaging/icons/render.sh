#!/usr/bin/env bash
# Renders the committed PNG icons from the SVG drawings: bingo-16.svg is drawn on the 16 px grid
# for the smallest size, bingo.svg serves every larger one. Rerun after editing a drawing.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

for size in 16 32 48 64 128 256; do
    source=bingo.svg
    [ "$size" -eq 16 ] && source=bingo-16.svg
    rsvg-convert --width "$size" --height "$size" --format png --output "bingo-$size.png" "$source"
done
