#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `vrstool diff` against the image-diff tools on the same pictures:
# odiff (npm odiff-bin), pixelmatch 7.2.0 (npm; the last version measuring
# colour in YIQ, as `--threshold` does) and ImageMagick's `compare -metric
# AE`, which read the pictures as PNG files, and against `cat A B
# >/dev/null` (reading both captures, page cache warm). B is A with known
# changes: a 300 x 40 block, a one-pixel line, dots along the bottom row
# and the top-left pixel. Commands alternate within each round; the table
# gives the median and the range of the rounds (seconds), the ratios of
# the medians, each tool's count of differing pixels and vrstool's peak
# resident set.
#
#   bench/diff.sh                                   # every size and kind
#   SIZES=16000x12000 KINDS=screen ROUNDS=7 bench/diff.sh
#
# ours       vrstool diff A.vrs B.vrs (exact)
# ours-aa    vrstool diff --threshold 0.1 --antialiasing A.vrs B.vrs (pixelmatch's defaults)
# ours-png   vrstool diff --threshold 0.1 --antialiasing A.png B.png
# odiff      odiff A.png B.png (its threshold 0.1)
# pm         pixelmatch A.png B.png (threshold 0.1, anti-aliased pixels left out);
#            only up to PM_PIXELS pixels: it holds both pictures in JavaScript
# im         compare -metric AE A.png B.png null:
# The peers install themselves into a scratch folder; none is a dependency.
# The machine is shared: run it under `nice`, more rounds when it is busy.
set -euo pipefail
cd "$(dirname "$0")/.."

SIZES=${SIZES:-"4000x3000 3001x1999 16000x12000"}
KINDS=${KINDS:-"screen gradient photo noise deep16"}
ROUNDS=${ROUNDS:-5}
ROUNDS_LARGE=${ROUNDS_LARGE:-3}  # above 20 megapixels
PM_PIXELS=${PM_PIXELS:-20000000}

missing=()
command -v compare >/dev/null || missing+=(imagemagick)
command -v npm >/dev/null || missing+=(npm)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}" >&2
fi

cmake --preset default >/dev/null
cmake --build --preset default --target vrstool make-bench-picture make-sample >/dev/null
VRSTOOL=$PWD/build/default/src/cli/vrstool
MAKE_PICTURE=$PWD/build/default/bench/export/make-bench-picture
MAKE_SAMPLE=$PWD/build/default/tools/make-sample

work=$(mktemp -d "${TMPDIR:-/tmp}/vrsdiffbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && echo '{"name": "peers", "private": true}' >package.json &&
  npm install --no-audit --no-fund --silent odiff-bin pixelmatch@7.2.0 >&2)
ODIFF=$work/node_modules/.bin/odiff
PIXELMATCH=$work/node_modules/pixelmatch/bin/pixelmatch
cd "$work"
cat >policy.xml <<'POLICY'
<policymap>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="1GP"/>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
POLICY
export MAGICK_CONFIGURE_PATH=$work

# Writes B: A with the changes, at the places the header gives.
make_changed() {
  cp "$1" "$2"
  python3 - "$2" "$($VRSTOOL info --json "$1")" <<'PY'
import json, os, sys
info = json.loads(sys.argv[2])[0]
w, h, depth, stride = info["width"], info["height"], info["depth"], info["stride"]
size = depth // 8
f = os.open(sys.argv[1], os.O_RDWR)
def pixel(rgb):  # a capture pixel of this depth with these 8-bit colours
    if size == 4:
        return bytes([0]) + bytes(rgb)
    word = ((rgb[0] >> 3) << 10) | ((rgb[1] >> 3) << 5) | (rgb[2] >> 3)
    return word.to_bytes(2, "big")
def put(x, y, data):
    os.pwrite(f, data, 196 + y * stride + x * size)
for y in range(h // 3, h // 3 + 40):
    put(w // 2, y, pixel((255, 255, 0)) * 300)       # a block
put(w // 4, h // 2, pixel((0, 0, 0)) * (w // 3))       # a one-pixel line
for x in range(0, w, 997):
    put(x, h - 1, pixel((1, 2, 3)))                    # dots along the bottom
put(0, 0, pixel((9, 9, 9)))
os.close(f)
PY
}

rss_file=$work/rss
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$rss_file" bash -c "$1" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
stats() {  # median and range of the millisecond figures, in seconds
  tr ' ' '\n' | grep -E '^[0-9]+$' | sort -n |
    awk '{a[NR]=$1} END {if (NR) printf "%.3f (%.3f-%.3f)", a[int((NR+1)/2)]/1000, a[1]/1000, a[NR]/1000; else print "-"}'
}
median() { tr ' ' '\n' | grep -E '^[0-9]+$' | sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}'; }

command_for() {
  case $1 in
    cat) echo "cat a.vrs b.vrs" ;;
    ours) echo "$VRSTOOL diff a.vrs b.vrs" ;;
    ours-aa) echo "$VRSTOOL diff --threshold 0.1 --antialiasing a.vrs b.vrs" ;;
    ours-png) echo "$VRSTOOL diff --threshold 0.1 --antialiasing a.png b.png" ;;
    odiff) echo "$ODIFF a.png b.png" ;;
    pm) echo "node $PIXELMATCH a.png b.png" ;;
    im) echo "compare -metric AE a.png b.png null:" ;;
  esac
}
count_of() {
  case $1 in
    ours | ours-aa | ours-png)
      $(command_for "$1") --json | sed 's/.*"differing_pixels": \([0-9]*\).*/\1/' ;;
    odiff) $ODIFF a.png b.png 2>&1 | sed -n 's/.*Found \([0-9]*\) different.*/\1/p' ;;
    pm) node "$PIXELMATCH" a.png b.png 2>&1 | sed -n 's/different pixels: \([0-9]*\)/\1/p' ;;
    im) compare -metric AE a.png b.png null: 2>&1 || true ;;
    *) echo - ;;
  esac
}

echo "vrstool diff against the peers, $(date -u +%F), $(nproc) processors; seconds: median (range of $ROUNDS rounds, $ROUNDS_LARGE above 20 Mpx)"
for size in $SIZES; do
  w=${size%x*}
  h=${size#*x}
  for kind in $KINDS; do
    if [[ $kind == deep16 ]]; then
      "$MAKE_SAMPLE" --depth 16 "$w" "$h" a.vrs
    else
      "$MAKE_PICTURE" --kind "$kind" "$w" "$h" a.vrs
    fi
    make_changed a.vrs b.vrs
    "$VRSTOOL" convert -q -o a.png a.vrs
    "$VRSTOOL" convert -q -o b.png b.vrs
    cat a.vrs b.vrs a.png b.png >/dev/null
    tools="cat ours ours-aa ours-png odiff im"
    ((w * h <= PM_PIXELS)) && tools+=" pm"
    rounds=$ROUNDS
    ((w * h <= 20000000)) || rounds=$ROUNDS_LARGE
    declare -A times=() peak=()
    for ((round = 0; round < rounds; round++)); do
      for tool in $tools; do
        times[$tool]="${times[$tool]:-} $(timed "$(command_for "$tool")")"
        peak[$tool]=$(tail -n 1 "$rss_file")
      done
    done
    echo "$size $kind (PNG $(($(stat -c %s a.png) / 1000)) KB):"
    for tool in $tools; do
      printf '  %-9s %-22s count %-10s peak %7s KB\n' "$tool" "$(echo "${times[$tool]}" | stats)" \
        "$(count_of "$tool")" "${peak[$tool]}"
    done
    m() { echo "${times[$1]}" | median; }
    echo "  ours/cat $(ratio "$(m ours)" "$(m cat)")  ours/odiff $(ratio "$(m ours)" "$(m odiff)")" \
      " ours-aa/odiff $(ratio "$(m ours-aa)" "$(m odiff)")  ours-png/odiff $(ratio "$(m ours-png)" "$(m odiff)")"
    unset times peak
    rm -f a.vrs b.vrs a.png b.png
  done
done
