#!/usr/bin/env bash
# Renders the PNG sizes of the icons from their SVG drawings (needs rsvg-convert, package
# librsvg2-bin). The PNGs are committed, so building needs no SVG renderer; run this after
# changing a drawing.
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
for svg in scalable/*/*.svg; do
    context=$(basename "$(dirname "$svg")")
    name=$(basename "$svg" .svg)
    for size in 16 24 32 48 64 128 256; do
        mkdir -p "${size}x${size}/$context"
        rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/$context/$name.png"
    done
done
