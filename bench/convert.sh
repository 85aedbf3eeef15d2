#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `vrstool convert` against general-purpose converters reading the same
# pixels as raw data (vips, GraphicsMagick, ImageMagick 6), on 32-bit pictures
# of several kinds (make-bench-picture --kind), alternating the commands.
# Prints, per size, kind and format, the median wall time of each, ours /
# theirs for time and for size, and the file sizes;
# then the GIF and JPEG PSNR of each converter against the exact picture,
# and vrstool's peak memory (resident set) and thumbnail time.
#
#   bench/convert.sh            # 4000x3000 (3 rounds) and 16000x12000 (1 round)
#   SIZES=4000x3000 ROUNDS=5 bench/convert.sh
#   KINDS="gradient photo" FORMATS=png bench/convert.sh
#
# The machine is shared: run it under `nice` and read small differences as noise.
# vrstool flushes each file to the disk (fsync) before renaming it into place;
# the others do not, so the figures for large uncompressed files include disk
# time for vrstool only. Debian's ImageMagick policy refuses pictures over
# 16K pixels a side or 128 megapixels; a policy in the work folder
# (MAGICK_CONFIGURE_PATH) raises those limits for this script's runs.
set -euo pipefail
cd "$(dirname "$0")/.."

SIZES=${SIZES:-"4000x3000 16000x12000"}
ROUNDS=${ROUNDS:-3}
ROUNDS_LARGE=${ROUNDS_LARGE:-1}  # for pictures above 20 megapixels
FORMATS=${FORMATS:-"jpg tif png bmp gif"}
KINDS=${KINDS:-"screen flat gradient photo noise palette deep16"}
IM=/usr/bin/convert-im6.q16
IM_COMPARE=/usr/bin/compare-im6.q16

missing=()
command -v vips >/dev/null || missing+=(libvips-tools)
command -v gm >/dev/null || missing+=(graphicsmagick)
[[ -x $IM ]] || missing+=(imagemagick)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y libvips-tools graphicsmagick imagemagick time >&2
fi

cmake --preset default >/dev/null
cmake --build --preset default --target vrstool make-bench-picture >/dev/null
VRSTOOL=$PWD/build/default/src/cli/vrstool
MAKE_PICTURE=$PWD/build/default/bench/export/make-bench-picture

work=$(mktemp -d "${TMPDIR:-/tmp}/vrsbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
cat >policy.xml <<'EOF'
<policymap>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="1GP"/>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="disk" value="8GiB"/>
</policymap>
EOF
export MAGICK_CONFIGURE_PATH=$work

# The command of one converter for one case, as a shell line.
command_for() {
  local tool=$1 in=$2 w=$3 h=$4 fmt=$5 out=$6
  local raw="{ tail -c +198 $in; printf '\\0'; }"
  case $tool in
    ours) echo "$VRSTOOL convert -o $out $in" ;;
    vips)
      local opts=""
      [[ $fmt == jpg ]] && opts="[Q=50]"
      [[ $fmt == png ]] && opts="[filter=all]"
      echo "vips rawload $in t.v $w $h 4 --offset 196 --interpretation srgb && vips extract_band t.v '$out$opts' 1 --n 3 && rm -f t.v" ;;
    gm)
      local opts=""
      [[ $fmt == jpg ]] && opts="-quality 50"
      [[ $fmt == tif ]] && opts="-compress None"
      echo "$raw | gm convert -size ${w}x$h -depth 8 RGBA:- +matte $opts $out" ;;
    im)
      local opts=""
      [[ $fmt == jpg ]] && opts="-quality 50"
      [[ $fmt == tif ]] && opts="-compress None"
      echo "$raw | $IM -size ${w}x$h -depth 8 RGBA:- -alpha off $opts $out" ;;
  esac
}

# vips has no BMP or GIF writer of its own.
peers_for() {
  case $1 in
    bmp | gif) echo "gm im" ;;
    *) echo "vips gm im" ;;
  esac
}

# Milliseconds taken by a shell line; its peak resident set (KB) in $rss_file.
rss_file=$work/rss
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$rss_file" bash -c "$1" >/dev/null 2>&1 || { echo FAIL; return; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# The median of the runs that succeeded; "fail" when none did.
median() {
  tr ' ' '\n' | { grep -E '^[0-9]+$' || true; } | sort -n |
    awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "fail"}'
}
seconds() { [[ $1 == fail ]] && echo fail || awk -v ms="$1" 'BEGIN {printf "%.2f", ms / 1000}'; }
kb() { awk -v b="$(stat -c %s "$1")" 'BEGIN {printf "%d", b / 1000}'; }
ratio() {
  [[ $1 == fail || $2 == fail ]] && echo - && return
  awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}'
}

printf '%-12s %-8s %-4s %8s %8s %8s %8s  %-20s %-20s %s\n' size kind fmt ours vips gm im \
  "time ours/vips,gm,im" "size ours/vips,gm,im" "KB ours/vips/gm/im"
for size in $SIZES; do
for kind in $KINDS; do
  w=${size%x*}
  h=${size#*x}
  in=$kind-$size.vrs
  "$MAKE_PICTURE" --kind "$kind" "$w" "$h" "$in"
  # Warm the page cache so that every converter reads from memory.
  cat "$in" >/dev/null
  declare -A times=() peak=()
  rounds=$ROUNDS
  ((w * h <= 20000000)) || rounds=$ROUNDS_LARGE
  for fmt in $FORMATS; do
    tools="ours $(peers_for "$fmt")"
    for ((round = 0; round < rounds; round++)); do
      for tool in $tools; do
        out=$tool-$size.$fmt
        t=$(timed "$(command_for "$tool" "$in" "$w" "$h" "$fmt" "$out")")
        times[$tool]="${times[$tool]:-} $t"
        [[ $tool == ours ]] && peak[$fmt]=$(cat "$rss_file")
      done
    done
    line=()
    ratios=()
    size_ratios=()
    sizes=()
    ours=$(echo "${times[ours]}" | median)
    for tool in ours vips gm im; do
      if [[ " $tools " == *" $tool "* ]]; then
        m=$(echo "${times[$tool]}" | median)
        line+=("$(seconds "$m")")
        [[ $tool != ours ]] && ratios+=("$(ratio "$ours" "$m")")
        if [[ -f $tool-$size.$fmt ]]; then sizes+=("$(kb "$tool-$size.$fmt")"); else sizes+=("-"); fi
        if [[ $tool != ours ]]; then
          if [[ -f $tool-$size.$fmt ]]; then
            size_ratios+=("$(ratio "$(stat -c %s "ours-$size.$fmt")" "$(stat -c %s "$tool-$size.$fmt")")")
          else
            size_ratios+=("-")
          fi
        fi
      else
        line+=("-")
        [[ $tool != ours ]] && ratios+=("-") && size_ratios+=("-")
        sizes+=("-")
      fi
      times[$tool]=""
    done
    ratio_text=$(IFS=,; echo "${ratios[*]}")
    size_ratio_text=$(IFS=,; echo "${size_ratios[*]}")
    size_text=$(IFS=/; echo "${sizes[*]}")
    printf '%-12s %-8s %-4s %8s %8s %8s %8s  %-20s %-20s %s\n' "$size" "$kind" "$fmt" "${line[@]}" \
      "$ratio_text" "$size_ratio_text" "$size_text"
  done
  echo "vrstool peak resident set at $size, $kind (KB, mapped file pages included while in use):"
  for fmt in $FORMATS; do printf '  %s %s\n' "$fmt" "${peak[$fmt]}"; done
  t=$(timed "$VRSTOOL thumbnail $in thumb-$size.png")
  echo "vrstool thumbnail at $size, $kind: $(seconds "$t") s, peak $(cat "$rss_file") KB"
  if [[ $size == "${SIZES%% *}" && $kind == screen && " $FORMATS " == *" png "* ]]; then
    echo "PSNR against the exact picture at $size (dB):"
    for f in ours-$size.gif gm-$size.gif im-$size.gif ours-$size.jpg vips-$size.jpg gm-$size.jpg im-$size.jpg; do
      [[ -f $f ]] || continue
      psnr=$("$IM_COMPARE" -metric PSNR "ours-$size.png" "$f" null: 2>&1 || true)
      printf '  %-24s %s\n' "$f" "$psnr"
    done
  fi
  rm -f ./*-"$size".* "$in"
done
done
