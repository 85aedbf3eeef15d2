#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Exporting a large picture (slow to compress) whose decode needed a progress
# window: the export's progress window is drawn (its light gray on the
# screen, not whatever was there before), and the closed Save dialog is gone
# from the screen, the picture drawn again where it was, while the export
# runs. The export is held (the viewer stopped) while the screen is looked
# at, so the test does not depend on how fast the machine exports.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

e2e_setup
load_colours
PIC_W=8000 PIC_H=6000
FILE="$WORK/large.vrs" OUT="$WORK/large.png"
"$E2E_PICTURE" --depth 16 --grain "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"
picture_shown() { shot "$1" && measure_picture; }

# The share of a rectangle of the last screenshot that is none of the colours.
share_not() {  # share_not WxH+X+Y COLOUR...
  local area=$1 c
  shift
  local -a args=()
  for c in "$@"; do args+=(-opaque "rgb(${c// /,})"); done
  "$CONVERT" "$SHOT" -crop "$area" +repage -alpha off -fuzz 4% -fill black "${args[@]}" \
    -fill white +opaque black -format '%[fx:mean]' info:
}

# Whether the decode needs a progress window depends on how fast it is: on a
# quick machine 8000 x 6000 is decoded before the window is due. The viewer
# shares one core with a busy loop at a lower priority while it decodes, so
# its decode takes several times longer wherever the test runs.
taskset -c 0 bash -c 'while :; do :; done' &
HOG=$!
trap 'kill "$HOG" 2>/dev/null; kill -CONT "$VIEWER_PID" 2>/dev/null; cleanup' EXIT
SLOW="$WORK/slow-vrsview"
printf '#!/bin/sh\nexec taskset -c 0 nice -n 10 "%s" "$@"\n' "$VRSVIEW" >"$SLOW"
chmod +x "$SLOW"
VRSVIEW=$SLOW
start_viewer "$FILE"
WIN=$(wait_window 60 'large\.vrs') || fail "no window titled large.vrs within 60 s"
wait_until 30 picture_shown opened || fail "the picture did not appear within 30 s"
kill "$HOG" 2>/dev/null  # the decode is over: the export runs at the viewer's speed

focus "$WIN"
xdotool key ctrl+s
wait_until 15 dialog_shown '^Save Image' || fail "Ctrl+S showed no Save Image panel"
PANEL=$(dialogs '^Save Image' | head -n1)
geometry "$PANEL"
PANEL_AREA="${GW}x${GH}+${GX}+${GY}"
focus "$PANEL"
# The format pop-up sits at the bottom left of the panel, right of "Format:":
# png is picked there, then the name is typed into the name field (Alt+N).
shown_windows() { xdotool search --onlyvisible --pid "$VIEWER_PID" --class '.*' 2>/dev/null | wc -l; }
before=$(shown_windows)
xdotool mousemove --sync $((GX + 100)) $((GY + GH - 32)) click 1
popup_open() { (($(shown_windows) > before)); }
wait_until 10 popup_open || fail "the format pop-up did not open"
xdotool type --delay 50 p
xdotool key Return
xdotool key alt+n ctrl+a
paste_text "$OUT"
xdotool key Return

progress_up() { PROGRESS=$(viewer_windows '^(make tiff data|convert to png data|write to file)$' | head -n1) && [[ -n $PROGRESS ]]; }
wait_until 60 progress_up || fail "no export progress window within 60 s"
geometry "$PROGRESS"
AREA="${GW}x${GH}+${GX}+${GY}"
# Its margin above the bar light gray: the window has been drawn while the
# export runs. Then the export is held.
margin_drawn() {
  shot progress && awk -v m="$(share_not "${GW}x6+${GX}+${GY}" "192 192 192")" 'BEGIN { exit !(m < 0.05) }'
}
wait_until 30 margin_drawn || fail "the progress window ($AREA) was not drawn within 30 s"
kill -STOP "$VIEWER_PID" || fail "could not hold the viewer"
shot exporting
[[ -e $OUT ]] && fail "the export had ended before its progress window could be looked at"
blocks=()
for key in "${!BLOCK[@]}"; do blocks+=("${BLOCK[$key]}"); done
# Drawn: its light gray margin above the bar (waited for), and a bar that is
# neither that gray nor the picture behind.
bar=$(share_not "$((GW - 60))x8+$((GX + 30))+$((GY + 14))" "192 192 192" "${blocks[@]}" "$MARK")
check "its bar is drawn: $(calc "100 * $bar")% of its middle is neither gray nor the picture" \
  awk -v m="$bar" 'BEGIN { exit !(m > 0.9) }'
stale=$(share_not "$PANEL_AREA" "${blocks[@]}" "192 192 192" "$MARK")
check "the Save panel's place ($PANEL_AREA) shows the picture again: $(calc "100 * $stale")% of it is not" \
  awk -v m="$stale" 'BEGIN { exit !(m < 0.2) }'

kill -CONT "$VIEWER_PID"  # the rest of the export
progress_gone() { ! progress_up; }
wait_until 90 progress_gone || fail "the export's progress window was still up after 90 s"
check "the export wrote $OUT" test -s "$OUT"
check "the PNG is 8000 x 6000" test "$(identify -format '%wx%h' "$OUT")" = 8000x6000

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
