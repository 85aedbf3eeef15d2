#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A file the viewer must refuse (its rows cut short): a message window
# appears, and after it is dismissed the viewer stays up with a window
# without a picture, until Ctrl+Q ends it with status 0.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

e2e_setup
load_colours
PIC_W=320 PIC_H=240
FILE="$WORK/cut-short.vrs"
"$E2E_PICTURE" --truncate "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"

start_viewer "$FILE"
wait_until 30 dialog_shown || fail "no message window within 30 s (viewer alive: $(viewer_alive && echo yes || echo no))"
MSG=$(dialogs | head -n1)
shot message
geometry "$MSG"
log "ok: a message window appeared (${GW}x${GH}+${GX}+${GY}): \"$(xdotool getwindowname "$MSG")\""
check "the message window is not empty" test "$GW" -gt 50 -a "$GH" -gt 30

# Dismiss it with the keyboard, as a user would: Return presses its OK.
focus "$MSG"
xdotool key Return
wait_until 10 no_dialog || fail "Return did not close the message window"
log "ok: the message window was dismissed"

# The viewer stays up, with a window for the file and no picture in it.
WIN=$(wait_window 10 "cut-short\\.vrs") || fail "the viewer ended or showed no window for the refused file"
sleep 1
check "the viewer is still running a second after the message" viewer_alive
shot after-message
bbox "${BLOCK[0,0]}"
check "the refused file's window shows no picture" test "$BW" -eq 0

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
