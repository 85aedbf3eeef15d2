#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: bench/first_paint.sh FILE RUNS VRSVIEW [BASELINE...]
# Opens FILE RUNS times with each viewer binary in turn (so that a busy moment
# of the machine falls on all of them alike) and prints, per binary, the
# milliseconds from process start to the first paint of the picture, sorted,
# and their median, then the median of every step VRSVIEW_TRACE reports on
# the way (milliseconds since the process started, and the processor time
# used by then, which a busy machine changes less). Needs a display: run it under
#   xvfb-run -a -s "-screen 0 1920x1200x24" bench/first_paint.sh ...
set -euo pipefail
if [[ $# -lt 3 ]]; then
    sed -n '2,7s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
file=$1
runs=$2
shift 2
log=$(mktemp)
steps=$(mktemp -d)
trap 'rm -rf "$log" "$steps"' EXIT

# One launch: the first-paint milliseconds, or nothing after 20 s. Every
# step's line is kept in the binary's step file ("STEP<tab>MS<tab>CPU MS").
first_paint() {
    local bin=$1 index=$2
    VRSVIEW_TRACE=1 "$bin" "$file" >/dev/null 2>"$log" &
    local pid=$! ms=""
    for _ in $(seq 1 200); do
        ms=$(sed -n 's/^vrsview: first paint after \([0-9]*\) ms.*/\1/p' "$log")
        [[ -n $ms ]] && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sed -n 's/^vrsview: \(.*\) after \([0-9]*\) ms (cpu \([0-9]*\) ms).*/\1\t\2\t\3/p' "$log" >>"$steps/$index"
    sleep 1  # the display server clears the window away before the next launch
    echo "$ms"
}

median() {
    local sorted count
    sorted=$(grep -E '^[0-9]+$' | sort -n || true)
    count=$(grep -c . <<<"$sorted" || true)
    [[ $count -gt 0 ]] && sed -n "$(((count + 1) / 2))p" <<<"$sorted"
}

declare -A times
for ((i = 0; i < runs; i++)); do
    index=0
    for bin in "$@"; do
        index=$((index + 1))
        times[$bin]+="$(first_paint "$bin" "$index") "
    done
done
index=0
for bin in "$@"; do
    index=$((index + 1))
    sorted=$(tr ' ' '\n' <<<"${times[$bin]}" | grep -E '^[0-9]+$' | sort -n || true)
    count=$(grep -c . <<<"$sorted" || true)
    if [[ $count -eq 0 ]]; then
        echo "$bin: no first paint seen"
        continue
    fi
    median=$(sed -n "$(((count + 1) / 2))p" <<<"$sorted")
    echo "$bin: median $median ms of $count (ms: $(tr '\n' ' ' <<<"$sorted"))"
    # Each step's median, in the order the steps came.
    cut -f1 "$steps/$index" | awk '!seen[$0]++' | while IFS= read -r step; do
        ms=$(awk -F'\t' -v s="$step" '$1 == s {print $2}' "$steps/$index" | median)
        cpu=$(awk -F'\t' -v s="$step" '$1 == s {print $3}' "$steps/$index" | median)
        echo "    $step: median $ms ms (cpu $cpu ms)"
    done
done
