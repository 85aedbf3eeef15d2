#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the thumbnailer as a file manager runs it on a large capture:
# wall time and peak resident memory of "vrstool thumbnail -s 256" on a
# 16000 x 12000 32-bit file (goals: under 1 s, under 256 MiB), first with the
# file just written (in the page cache, as after a copy) and then with the
# file's pages evicted from the page cache (posix_fadvise DONTNEED on that
# file alone), as for a file that was not read lately.
#   thumbnail_bench.sh [BUILD_DIR] [WIDTH HEIGHT]
set -euo pipefail
build=${1:-build/default}
width=${2:-16000}
height=${3:-12000}
vrstool="$build/src/cli/vrstool"
sample="$build/tools/make-sample"
[[ -x $vrstool ]] || { echo "no $vrstool: build vrstool first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/big.vrs"
echo "writing a ${width} x ${height} 32-bit sample ($((width * height * 4 / 1048576)) MiB)..." >&2
nice "$sample" "$width" "$height" "$file"

measure() {  # measure LABEL
  /usr/bin/time -f '%e %M' -o "$work/time" "$vrstool" thumbnail -s 256 "$file" "$work/thumb.png"
  read -r seconds kib <"$work/time"
  local size
  size=$(identify -format '%wx%h' "$work/thumb.png")
  printf '%-28s %6.2f s  %7.1f MiB  thumbnail %s\n' "$1" "$seconds" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')" "$size"
  awk -v s="$seconds" -v k="$kib" 'BEGIN { exit !(s < 1.0 && k < 256 * 1024) }' || echo "  over the goal (1 s, 256 MiB)"
}

measure "in the page cache"
measure "in the page cache, again"
evict() {
  python3 -c 'import os, sys
fd = os.open(sys.argv[1], os.O_RDONLY)
os.fsync(fd)
os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)' "$file"
}
if command -v python3 >/dev/null; then
  evict
  measure "from disk (file evicted)"
  evict
  measure "from disk (file evicted), again"
fi
