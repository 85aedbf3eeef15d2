#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that `vrstool diff --threshold T [--antialiasing]` counts the pixels
# pixelmatch 7.2.0 counts (its YIQ distance and anti-aliasing test): on pairs
# ImageMagick draws (plasma backgrounds with anti-aliased text moved and
# changed, opaque and translucent) and on the committed screenshot pair, at
# several thresholds, with anti-aliased pixels counted and left out. Prints
# every mismatch and ends with status 1 if there was one. pixelmatch installs
# itself into a scratch folder; it is no dependency.
#   bench/pixelmatch_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "needs ImageMagick (package imagemagick)" >&2; exit 2; }
cmake --preset default >/dev/null
cmake --build --preset default --target vrstool >/dev/null
VRSTOOL=$PWD/build/default/src/cli/vrstool
DATA=$PWD/tests/cli/data
work=$(mktemp -d "${TMPDIR:-/tmp}/vrspixelmatch.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
echo '{"name": "check", "private": true, "type": "module"}' >package.json
npm install --no-audit --no-fund --silent pixelmatch@7.2.0 pngjs >&2
cat >count.js <<'JS'
import pixelmatch from 'pixelmatch';
import {PNG} from 'pngjs';
import fs from 'fs';
const [a, b, t, aa] = process.argv.slice(2);
const A = PNG.sync.read(fs.readFileSync(a)), B = PNG.sync.read(fs.readFileSync(b));
console.log(pixelmatch(A.data, B.data, null, A.width, A.height, {threshold: +t, includeAA: aa === 'true'}));
JS
pairs=("$DATA/screen_a.png $DATA/screen_b.png")
for i in 1 2 3 4 5 6; do
  convert -size 300x200 -seed $i plasma:fractal -blur 0x1 base$i.png
  text() { convert base$i.png -fill white -font DejaVu-Sans -pointsize 18 -annotate +$1+60 "Release notes $i" \
    -fill '#202020' -font DejaVu-Sans-Mono -pointsize 11 -annotate +10+150 "value=$2 ok" "$3"; }
  text $((20 + i)) $i PNG24:p$i.png
  text $((21 + i)) $((i * 7)) PNG24:q$i.png
  pairs+=("p$i.png q$i.png")
  if ((i <= 3)); then
    convert base$i.png -alpha set -channel A -evaluate set 60% +channel -fill '#ff000080' \
      -draw "circle 100,100 100,1$i" PNG32:r$i.png
    convert base$i.png -alpha set -channel A -fx "i/w" +channel -fill '#0000ff40' \
      -draw "rectangle 50,50 9$i,80" PNG32:s$i.png
    pairs+=("r$i.png s$i.png")
  fi
done
checked=0
mismatches=0
for pair in "${pairs[@]}"; do
  read -r a b <<<"$pair"
  for t in 0 0.05 0.1 0.3; do
    for aa in true false; do
      theirs=$(node count.js "$a" "$b" $t $aa)
      option=()
      [[ $aa == false ]] && option=(--antialiasing)
      ours=$({ "$VRSTOOL" diff --json --threshold $t "${option[@]}" "$a" "$b" || true; } |
        sed 's/.*"differing_pixels": \([0-9]*\).*/\1/')
      checked=$((checked + 1))
      if [[ $ours != "$theirs" ]]; then
        echo "mismatch: $(basename "$a") $(basename "$b") threshold $t includeAA $aa: pixelmatch $theirs, vrstool $ours"
        mismatches=$((mismatches + 1))
      fi
    done
  done
done
echo "$checked counts compared, $mismatches mismatches"
((mismatches == 0))
