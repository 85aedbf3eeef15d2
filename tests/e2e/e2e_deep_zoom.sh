#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Deep zoom in a real X server: a 3200 x 2400 picture whose view image is
# reduced by 2, with a checkerboard of single pixels in block (1,1). Zoomed to
# a region of 15% of the picture, the view image is drawn (it kept one of the
# two checker colours); zoomed below a tenth, the region is cut from the full
# picture by the drawing thread and both colours show.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

PIC_W=3200 PIC_H=2400
e2e_setup
load_colours
CHECKER=$("$E2E_PICTURE" --colours | awk '$1 == "checker" { print $2, $3, $4 }')
[[ -n $CHECKER ]] || fail "e2e-picture --colours gave no checker colour"
FILE="$WORK/checker.vrs"
"$E2E_PICTURE" --checker "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"

picture_shown() { shot "$1" && measure_picture; }
has() { bbox "$1" && ((BW > 0)); }

start_viewer "$FILE"
WIN=$(wait_window 30 'checker\.vrs') || fail "no window titled checker.vrs within 30 s"
wait_until 20 picture_shown opened || fail "the picture did not appear on the screen within 20 s"
log "picture drawn at ${RW}x${RH}+${RX}+${RY}"
WHOLE="$RX $RY $RW $RH"

# band X0 Y0 X1 Y1: a rubber band over that part of the picture (pixels).
band() {
  to_screen "$1" "$2"
  local ax=$SX ay=$SY
  to_screen "$3" "$4"
  local bx=$SX by=$SY step
  xdotool mousemove --sync "$ax" "$ay" mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove --sync $((ax + (bx - ax) * step / 4)) $((ay + (by - ay) * step / 4))
    sleep 0.05
  done
  xdotool mouseup 1
}
only_block_11() { shot "$1" && ! has "${BLOCK[0,0]}" && ! has "${BLOCK[2,1]}" && { has "${BLOCK[1,1]}" || has "$CHECKER"; }; }

# A region 15% of the picture wide, inside block (1,1): drawn from the view image.
band 960 1020 1440 1380
wait_until 10 only_block_11 zoomed-15 || fail "the band did not zoom into block (1,1)"
sleep 0.5
only_block_11 zoomed-15 || fail "block (1,1) no longer fills the view"
has "${BLOCK[1,1]}" && has "$CHECKER" &&
  fail "at 15% of the picture both checker colours show: the full picture was drawn, not the view image"
log "ok: a region of 15% is drawn from the view image (one checker colour)"

# A click returns to the whole picture.
xdotool click 1
whole() { picture_shown whole && [[ "$RX $RY $RW $RH" == "$WHOLE" ]]; }
wait_until 10 whole || fail "a click did not return to the whole picture"

# A region 5% of the picture wide: cut from the full picture.
band 1120 1140 1280 1260
both() { only_block_11 zoomed-5 && has "${BLOCK[1,1]}" && has "$CHECKER"; }
wait_until 15 both || fail "at 5% of the picture the single pixels of the full picture did not show within 15 s"
log "ok: a region of 5% is cut from the full picture: both checker colours show"
# Single pixels are magnified as flat squares (nearest neighbour): the checker
# colours cover most of the view, blends between them little.
bbox "$CHECKER"
CW=$BW CH=$BH
check "the full-resolution crop fills the view (${CW}x${CH})" test "$CW" -gt 200 -a "$CH" -gt 150
squares=$("$CONVERT" "$SHOT" -crop "$((CW / 2))x$((CH / 2))+$((BX + CW / 4))+$((BY + CH / 4))" +repage \
  -alpha off -fuzz 4% -fill black -opaque "rgb(${CHECKER// /,})" -opaque "rgb(${BLOCK[1,1]// /,})" \
  -fill white +opaque black -format '%[fx:mean]' info:)
check "pixels are crisp squares: $(calc "100 * $squares")% of the crop's middle is neither checker colour" \
  awk -v m="$squares" 'BEGIN { exit !(m < 0.1) }'

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
