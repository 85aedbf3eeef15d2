#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A running viewer asked to open a file it must refuse, through File > Open
# (Ctrl+O): a message window appears, the picture already open stays, and
# the viewer stays up until Ctrl+Q ends it with status 0.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

e2e_setup
load_colours
PIC_W=480 PIC_H=360
GOOD="$WORK/good.vrs" BAD="$WORK/cut-short.vrs"
"$E2E_PICTURE" "$PIC_W" "$PIC_H" "$GOOD" || fail "could not write $GOOD"
"$E2E_PICTURE" --truncate 320 240 "$BAD" || fail "could not write $BAD"
picture_shown() { shot "$1" && measure_picture; }

start_viewer "$GOOD"
WIN=$(wait_window 30 'good\.vrs') || fail "no window titled good.vrs within 30 s"
wait_until 20 picture_shown opened || fail "the picture did not appear within 20 s"
BEFORE="$RX $RY $RW $RH"

focus "$WIN"
xdotool key ctrl+o
wait_until 15 dialog_shown '^Open' || fail "Ctrl+O showed no Open dialog within 15 s"
OPEN=$(dialogs '^Open' | head -n1)
log "ok: Ctrl+O shows the Open dialog"
shot open-dialog
focus "$OPEN"
paste_text "$BAD"
xdotool key Return
message_shown() { no_dialog '^Open' && dialog_shown; }
wait_until 20 message_shown || fail "no message window for the refused file within 20 s"
MSG=$(dialogs | head -n1)
shot message
log "ok: a message window appeared: \"$(xdotool getwindowname "$MSG")\""
focus "$MSG"
xdotool key Return
wait_until 10 no_dialog || fail "Return did not close the message window"

BADWIN=$(wait_window 10 'cut-short\.vrs') || fail "no window for the refused file after the message"
check "the viewer is still running after the message" viewer_alive
# Without a window manager both windows open at the same place: move the new
# one aside to see the first.
xdotool windowmove --sync "$BADWIN" 900 0 2>/dev/null || xdotool windowmove "$BADWIN" 900 0
wait_until 10 picture_shown after || fail "the first picture is no longer on the screen"
check "the first picture stays where it was ($BEFORE -> $RX $RY $RW $RH)" test "$BEFORE" = "$RX $RY $RW $RH"
check_colours "the first picture after the refusal"

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
