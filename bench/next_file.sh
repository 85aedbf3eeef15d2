#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: bench/next_file.sh FOLDER RUNS VRSVIEW [BASELINE...]
# Times Go > Next File: each viewer binary in turn (so that a busy moment of
# the machine falls on all of them alike) opens the first capture of FOLDER,
# waits for its first paint, then is sent Page Down and Page Up, and prints
# the milliseconds from each key to the new picture painted on the screen,
# sorted, and their median. RUNS launches per binary, STEPS keys per launch
# (default 2); NEXT_KEY and PREVIOUS_KEY name other keys (Right and Left
# for builds from before Page Down stepped files). A FOLDER with fewer than
# two .vrs files is given two 4000 x 3000 pictures by make-sample (MAKE_SAMPLE, default
# build/default/tools/make-sample; SIZE="W H" for another size). A binary
# that does not trace the step shows "no figure". Needs a display: run it under
#   xvfb-run -a -s "-screen 0 1920x1200x24" bench/next_file.sh ...
set -euo pipefail
if [[ $# -lt 3 ]]; then
    sed -n '2,15s/^# \{0,1\}//p' "$0" >&2
    exit 2
fi
folder=$1
runs=$2
shift 2
steps_per_launch=${STEPS:-2}
command -v xdotool >/dev/null || { echo "xdotool is not installed" >&2; exit 1; }

mkdir -p "$folder"
if [[ $(find "$folder" -maxdepth 1 -name '*.vrs' | wc -l) -lt 2 ]]; then
    make_sample=${MAKE_SAMPLE:-build/default/tools/make-sample}
    read -r width height <<<"${SIZE:-4000 3000}"
    "$make_sample" "$width" "$height" "$folder/next-a.vrs"
    "$make_sample" "$width" "$height" "$folder/next-b.vrs"
fi
first=$(find "$folder" -maxdepth 1 -name '*.vrs' | LC_ALL=C sort | head -n1)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Polls up to 20 s for a line of the log matching a sed expression that
# prints a number; prints the Nth such number (1 by default).
wait_line() {  # wait_line PID SED-EXPRESSION [N]
    local pid=$1 expr=$2 nth=${3:-1} ms=""
    for _ in $(seq 1 200); do
        ms=$(sed -n "$expr" "$log" | sed -n "${nth}p")
        [[ -n $ms ]] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$ms"
}

# One launch: the milliseconds of each step, one a line; nothing for a step
# not seen within 20 s (and none after it).
launch() {
    local bin=$1 pid window step ms key
    VRSVIEW_TRACE=1 "$bin" "$first" >/dev/null 2>"$log" &
    pid=$!
    if [[ -n $(wait_line "$pid" 's/^vrsview: first paint after \([0-9]*\) ms.*/\1/p') ]]; then
        window=$(xdotool search --all --onlyvisible --pid "$pid" --name '.*' 2>/dev/null | head -n1)
        if [[ -n $window ]]; then
            xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" || true
            for ((step = 1; step <= steps_per_launch; step++)); do
                key=${NEXT_KEY:-Next}
                ((step % 2 == 0)) && key=${PREVIOUS_KEY:-Prior}
                xdotool key "$key"
                ms=$(wait_line "$pid" \
                    's/^vrsview: next file shown after \([0-9]*\) ms since the key.*/\1/p' "$step")
                [[ -z $ms ]] && break
                echo "$ms"
                sleep 0.5  # the old picture's memory is given back
            done
        fi
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 1  # the display server clears the window away before the next launch
}

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A times silent
for ((i = 0; i < runs; i++)); do
    for bin in "$@"; do
        # A binary that told no step once is not launched again.
        [[ -n ${silent[$bin]:-} ]] && continue
        figures=$(launch "$bin")
        [[ -z $figures ]] && silent[$bin]=1
        times[$bin]+="$figures "
    done
done
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
for bin in "$@"; do
    sorted=$(tr ' ' '\n' <<<"${times[$bin]:-}" | grep -E '^[0-9]+$' | sort -n || true)
    count=$(grep -c . <<<"$sorted" || true)
    if [[ $count -eq 0 ]]; then
        echo "$bin: no figure (no \"next file shown\" line within 20 s)"
        continue
    fi
    median=$(sed -n "$(((count + 1) / 2))p" <<<"$sorted")
    echo "$bin: next file shown, median $median ms of $count (ms: $(xargs <<<"$sorted"))"
done
