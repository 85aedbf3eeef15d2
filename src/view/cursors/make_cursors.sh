#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the view's 16 x 16 cursor images with ImageMagick: "zoomin" (a
# magnifying glass with a plus) and the eight busy frames "T0".."T7" (a ring of
# eight spokes, the bright spoke one step further round in each frame).
# Hot spot (8, 8) for all of them. Run it again only to change their look.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 16x16 xc:none \
    -stroke white -strokewidth 4 -fill none -draw "circle 6.5,6.5 6.5,1.5" \
    -stroke white -strokewidth 5 -draw "line 10,10 14.5,14.5" \
    -stroke black -strokewidth 1.5 -fill white -draw "circle 6.5,6.5 6.5,2" \
    -stroke black -strokewidth 3 -draw "line 10,10 14,14" \
    -stroke black -strokewidth 1 -draw "line 4,6.5 9,6.5" -draw "line 6.5,4 6.5,9" \
    -depth 8 -define png:color-type=6 zoomin.png

for i in 0 1 2 3 4 5 6 7; do
    args=()
    for k in 0 1 2 3 4 5 6 7; do
        age=$(( (i - k + 8) % 8 ))
        shade=$(( 40 + age * 26 ))
        angle=$(awk -v k="$k" 'BEGIN { print k * 3.14159265 / 4 }')
        coords=$(awk -v a="$angle" 'BEGIN { printf "%.2f,%.2f %.2f,%.2f", 8 + 3*sin(a), 8 - 3*cos(a), 8 + 6.5*sin(a), 8 - 6.5*cos(a) }')
        args+=(-stroke "rgb($shade,$shade,$shade)" -draw "line $coords")
    done
    convert -size 16x16 xc:none -strokewidth 2 "${args[@]}" -depth 8 -define png:color-type=6 "T$i.png"
done
