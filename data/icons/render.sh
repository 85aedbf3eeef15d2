#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the committed PNG icons from their SVG sources (needs rsvg-convert,
# Debian package librsvg2-bin). Run after changing an SVG; commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")"
for name in org.vrsview.vrsview image-x-vrscreen; do
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "$size/$name.png"
  done
done
