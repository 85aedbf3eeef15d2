#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: bench/peak_memory.sh FILE RUNS VRSVIEW [BASELINE...]
# Opens FILE RUNS times with each viewer binary in turn and prints, per
# launch, the process's peak resident memory (VmHWM: the full image, the view
# image and the mapped file) at its first paint, and the first-paint line.
# Needs a display: run it under
#   xvfb-run -a -s "-screen 0 1920x1200x24" bench/peak_memory.sh ...
set -euo pipefail
if [[ $# -lt 3 ]]; then
    sed -n '2,8s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
file=$1
runs=$2
shift 2
log=$(mktemp)
trap 'rm -f "$log"' EXIT

for ((i = 0; i < runs; i++)); do
    for bin in "$@"; do
        VRSVIEW_TRACE=1 "$bin" "$file" >/dev/null 2>"$log" &
        pid=$!
        for _ in $(seq 1 600); do
            grep -q "first paint" "$log" && break
            sleep 0.1
        done
        peak=$(sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$pid/status" || true)
        paint=$(sed -n 's/^vrsview: first paint after //p' "$log")
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        sleep 1
        echo "$bin: peak ${peak:-unknown}, first paint after ${paint:-none}"
    done
done
