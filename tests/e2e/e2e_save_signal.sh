#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SIGTERM (a logout, kill) while the viewer saves: no temporary file is left
# beside the target (it has no name while it is written where the file
# system allows it, else it is removed) and the viewer ends by the signal; no
# picture is left half written. The viewer is held (stopped) as it writes
# the temporary file and the signal sent then, so the export is under way when it comes
# whatever the machine's speed. The viewer runs at a lower priority, so that
# on a busy machine the holder, woken by the file, stops it at once.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"

e2e_setup
[[ -x ${E2E_HOLD:-} ]] || skip "e2e-hold is not built"
FILE="$WORK/large.vrs" OUT="$WORK/large.png"
# A PNG of 48 million grainy pixels: many writes of the temporary file.
"$E2E_PICTURE" --grain 8000 6000 "$FILE" || fail "could not write $FILE"

HOLD_PID=""
trap 'kill "$HOLD_PID" 2>/dev/null; kill -CONT "$VIEWER_PID" 2>/dev/null; cleanup' EXIT
LOW="$WORK/low-vrsview"
printf '#!/bin/sh\nexec nice -n 10 "%s" "$@"\n' "$VRSVIEW" >"$LOW"
chmod +x "$LOW"
VRSVIEW=$LOW
start_viewer "$FILE"
WIN=$(wait_window 90 'large\.vrs') || fail "no window titled large.vrs within 90 s"

focus "$WIN"
xdotool key ctrl+s
wait_until 15 dialog_shown '^Save Image' || fail "Ctrl+S showed no Save Image panel"
focus "$(dialogs '^Save Image' | head -n1)"
xdotool key ctrl+a
paste_text "$OUT"
HELD="$E2E_ARTIFACTS/hold.out"
"$E2E_HOLD" "$WORK" .vrsexport- "$VIEWER_PID" 60 >"$HELD" &
HOLD_PID=$!
watching() { grep -qx watching "$HELD"; }
wait_until 10 watching || fail "e2e-hold did not watch $WORK"
xdotool key Return

wait "$HOLD_PID" || fail "the viewer made no temporary file beside $OUT within 60 s"
HOLD_PID=""
TEMP=$(tail -n1 "$HELD")
held_writing() { [[ $TEMP == '#'* || -e $WORK/$TEMP ]]; }
check "the viewer is held writing its temporary file $TEMP" held_writing
check "the export has not ended" test ! -e "$OUT"
kill -TERM "$VIEWER_PID"
kill -CONT "$VIEWER_PID"
wait_viewer_exit 15
check "SIGTERM ends the viewer by the signal (status $VIEWER_STATUS)" test "$VIEWER_STATUS" = 143
check "no temporary file is left" bash -c "! compgen -G '$WORK/.vrsexport-*' >/dev/null"
check "no picture is written" test ! -e "$OUT"
e2e_passed
