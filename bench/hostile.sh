#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The processor time each reader spends on hostile files, against a normal
# capture of the same real bytes, in the same run:
#   bench/hostile.sh [BUILD-DIR] [LIMIT-SECONDS]
# (QT_SCALED_READ names the Qt reader when BUILD-DIR has none, an older build)
# hostile-4k.vrs: a sized header claiming 8188 x 2147483647 pixels of depth 0
# in rows of 4096 bytes, then 4096 zero bytes (4,292 bytes).
# sparse-0.vrs, sparse-32.vrs: the same claim at depth 0, and 1024 pixels
# wide at depth 32, in sparse files as long as the rows need (8 TB), holding
# 4 KB. Each run is stopped after LIMIT-SECONDS (default 20) of processor
# time; such a run shows as ">LIMIT".
set -uo pipefail
build=$(cd "${1:-build/default}" && pwd)
limit=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
header() {  # header DEPTH WIDTH HEIGHT ROWBYTES
  python3 - "$@" <<'PY'
import struct, sys
depth, width, height, rowbytes = map(int, sys.argv[1:])
b = bytearray(196)
struct.pack_into('>i', b, 0, 2)
struct.pack_into('>i', b, 32, depth)
b[116:120] = b'isbg'
struct.pack_into('>III', b, 124, height, width, rowbytes)
sys.stdout.buffer.write(bytes(b))
PY
}
{ header 0 8188 2147483647 4096; head -c 4096 /dev/zero; } >"$work/hostile-4k.vrs"
cp "$work/hostile-4k.vrs" "$work/sparse-0.vrs"
truncate -s $((196 + 2147483646 * 4096)) "$work/sparse-0.vrs"
{ header 32 1024 2147483647 4096; head -c 4096 /dev/zero; } >"$work/sparse-32.vrs"
truncate -s $((196 + 2147483646 * 4096 + 4096)) "$work/sparse-32.vrs"
{ header 32 32 32 128; head -c 4096 /dev/urandom; } >"$work/normal-4k.vrs"

# cpu COMMAND...: the processor seconds of a command, or >LIMIT.
cpu() {
  local out
  rm -f "$work/time"
  (ulimit -t "$limit" && exec /usr/bin/time -o "$work/time" -f '%U %S' "$@" >/dev/null 2>&1)
  out=$(tail -n1 "$work/time" 2>/dev/null)
  if [[ $out =~ ^([0-9.]+)\ ([0-9.]+)$ ]] && ! grep -q signal "$work/time"; then
    awk -v u="${BASH_REMATCH[1]}" -v s="${BASH_REMATCH[2]}" 'BEGIN { printf "%.2f", u + s }'
  else
    printf '>%s' "$limit"
  fi
}
export GDK_PIXBUF_MODULE_FILE=$build/plugins/gdk-pixbuf/loaders.cache
export XDG_DATA_DIRS=$build/plugins/share:/usr/share QT_PLUGIN_PATH=$build/plugins/qt6
qtread=${QT_SCALED_READ:-$build/bench/qt_scaled_read}
printf '%-16s %12s %12s %12s\n' file thumbnailer vrstool qt6-scaled
for f in normal-4k hostile-4k sparse-0 sparse-32; do
  file=$work/$f.vrs
  printf '%-16s %12s %12s %12s\n' "$f" \
    "$(cpu gdk-pixbuf-thumbnailer -s 256 "$file" "$work/p.png")" \
    "$(cpu "$build/src/cli/vrstool" thumbnail -s 256 "$file" "$work/t.png")" \
    "$( [[ -x $qtread ]] && cpu "$qtread" "$file" 256 || echo -)"
done
