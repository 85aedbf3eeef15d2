#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The pixel inspector on the screen: with the real pointer over block (3,2)
# of a generated picture, then over block (0,1) of another colour, the strip
# of the window below the picture (the size line's row, where the inspector
# is) changes; back over block (3,2) it is drawn exactly as the first time.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

PIC_W=640 PIC_H=480
e2e_setup
command -v compare >/dev/null || fail "compare (ImageMagick) is not installed"
load_colours
FILE="$WORK/inspected.vrs"
"$E2E_PICTURE" "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"

picture_shown() { shot "$1" && measure_picture; }
start_viewer "$FILE"
WIN=$(wait_window 30 'inspected\.vrs') || fail "no window titled inspected.vrs within 30 s"
wait_until 20 picture_shown opened || fail "the picture did not appear on the screen within 20 s"
geometry "$WIN"
# From below the picture and the view's border to the window's bottom edge.
STRIP_Y=$((RY + RH + 2))
STRIP="${GW}x$((GY + GH - STRIP_Y))+${GX}+${STRIP_Y}"
((GY + GH - STRIP_Y >= 8)) || fail "no room below the picture (${RW}x${RH}+${RX}+${RY}) in the window ${GW}x${GH}+${GX}+${GY}"
log "the strip below the picture: $STRIP"

# strip LABEL: a screenshot's strip, cut into STRIP_PNG.
strip() {
  shot "$1" || return 1
  STRIP_PNG="${SHOT%.png}-strip.png"
  "$CONVERT" "$SHOT" -crop "$STRIP" +repage "$STRIP_PNG"
}
# The number of pixels in which two strips differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
strip_is() {  # strip_is LABEL same|other PNG
  strip "$1" || return 1
  DIFF=$(differing "$STRIP_PNG" "$3")
  if [[ $2 == same ]]; then [[ $DIFF == 0 ]]; else [[ $DIFF =~ ^[0-9]+$ && $DIFF != 0 ]]; fi
}
# The row changes once, then holds still (two strips alike in a row).
settled() {  # settled LABEL: sets SETTLED to the strip
  local before
  strip "$1" || return 1
  before=$STRIP_PNG
  sleep 0.2
  strip "$1" && [[ $(differing "$STRIP_PNG" "$before") == 0 ]] && SETTLED=$STRIP_PNG
}
pointer_at_block() {  # pointer_at_block C R
  to_screen $((($(col_x "$1") + $(col_x $(($1 + 1)))) / 2)) $((($(row_y "$2") + $(row_y $(($2 + 1)))) / 2))
  xdotool mousemove --sync "$SX" "$SY"
}

# The row before the pointer is over block (3,2), once the window is drawn.
wait_until 10 settled before || fail "the row below the picture kept changing"
BEFORE=$SETTLED
pointer_at_block 3 2
wait_until 10 strip_is over-A other "$BEFORE" || fail "the row below the picture did not change with the pointer over block (3,2)"
wait_until 10 settled over-A || fail "the row below the picture kept changing over block (3,2)"
AT_A=$SETTLED

pointer_at_block 0 1
wait_until 10 strip_is over-B other "$AT_A" ||
  fail "the inspector did not change from block (3,2) to block (0,1) ($DIFF pixels differ)"
log "ok: over block (0,1) the inspector's row differs from over block (3,2) ($DIFF pixels)"

pointer_at_block 3 2
wait_until 10 strip_is back-at-A same "$AT_A" ||
  fail "back over block (3,2) the inspector's row is not as it was there ($DIFF pixels differ)"
log "ok: back over block (3,2) the inspector's row is as it was"

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
