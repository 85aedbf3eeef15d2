#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# SIGTERM (a logout, kill) while the viewer saves: the temporary file beside
# the target is removed and the viewer ends by the signal; no picture is
# left half written.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"

e2e_setup
FILE="$WORK/large.vrs" OUT="$WORK/large.png"
"$E2E_PICTURE" --grain 8000 6000 "$FILE" || fail "could not write $FILE"

# PNG of 48 million grainy pixels: seconds of work, so the export is still
# running when the signal comes (the temporary file is looked for every 0.1 s).
start_viewer "$FILE"
WIN=$(wait_window 90 'large\.vrs') || fail "no window titled large.vrs within 90 s"

focus "$WIN"
xdotool key ctrl+s
wait_until 15 dialog_shown '^Save Image' || fail "Ctrl+S showed no Save Image panel"
focus "$(dialogs '^Save Image' | head -n1)"
xdotool key ctrl+a
xdotool type --delay 15 "$OUT"
xdotool key Return

temporary() { compgen -G "$WORK/.vrsexport-*" >/dev/null; }
wait_until 30 temporary || fail "no temporary file beside $OUT within 30 s"
[[ -e $OUT ]] && fail "the export had ended before the signal could be sent"
kill -TERM "$VIEWER_PID"
wait_viewer_exit 15
check "SIGTERM ends the viewer by the signal (status $VIEWER_STATUS)" test "$VIEWER_STATUS" = 143
check "no temporary file is left" bash -c "! compgen -G '$WORK/.vrsexport-*' >/dev/null"
check "no picture is written" test ! -e "$OUT"
e2e_passed
