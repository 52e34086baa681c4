#!/usr/bin/env bash
# Renders the committed PNG icons from the SVG drawings: bingo-16.svg is drawn on the 16 px grid
# for the smallest size, bingo.svg serves every larger one; bingo-caller.svg draws the caller's.
# Rerun after editing a drawing.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

for size in 16 32 48 64 128 256; do
    source=bingo.svg
    [ "$size" -eq 16 ] && source=bingo-16.svg
    rsvg-convert --width "$size" --height "$size" --format png --output "bingo-$size.png" "$source"
done

# The caller's icon: its drawing serves both sizes it ships beside the scalable one.
for size in 48 256; do
    rsvg-convert --width "$size" --height "$size" --format png --output "bingo-caller-$size.png" bingo-caller.svg
done
