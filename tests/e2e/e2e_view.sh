#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The viewer on a generated picture in a real X server.
#   e2e_view.sh colours DEPTH WIDTH HEIGHT
#     colours where they belong as opened and in a window of other
#     proportions, and Ctrl+Q;
#   e2e_view.sh zoom DEPTH WIDTH HEIGHT
#     also the fit of the picture in its view, F3, F1 about the pointer, a
#     click back to the whole picture and a rubber band zoom.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

MODE=$1 DEPTH=$2 PIC_W=$3 PIC_H=$4
e2e_setup
load_colours

FILE="$WORK/blocks-$DEPTH.vrs"
"$E2E_PICTURE" --depth "$DEPTH" "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"

picture_shown() { shot "$1" && measure_picture; }
quit_viewer() {
  focus "$WIN"
  xdotool key ctrl+q
  wait_viewer_exit 15
  check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
}

start_viewer "$FILE"
WIN=$(wait_window 30 "blocks-$DEPTH\\.vrs") || fail "no window titled blocks-$DEPTH.vrs within 30 s"
log "window $WIN"
xprop -id "$WIN" WM_CLASS | grep -q '"vrsview"' ||
  fail "WM_CLASS is not vrsview ($(xprop -id "$WIN" WM_CLASS)): the desktop entry's StartupWMClass would not match"

# 1. The picture as opened: every block in its place, proportions kept.
wait_until 20 picture_shown opened || fail "the picture did not appear on the screen within 20 s"
check_colours "as opened"
close_to "$(calc "$RW * $PIC_H")" "$(calc "$RH * $PIC_W")" "$(calc "2 * ($PIC_W > $PIC_H ? $PIC_W : $PIC_H)")" ||
  fail "the drawn picture ${RW}x${RH} does not keep the proportions of ${PIC_W}x${PIC_H}"

# 2. A window of other proportions: the picture is fitted and centred.
geometry "$WIN"
X0=$GX Y0=$GY
SIZE_W=$((PIC_W + 360)) SIZE_H=$((PIC_H + 20))
xdotool windowsize --sync "$WIN" "$SIZE_W" "$SIZE_H" 2>/dev/null || xdotool windowsize "$WIN" "$SIZE_W" "$SIZE_H"
sized() { geometry "$WIN" && ((GW == SIZE_W && GH == SIZE_H)); }
wait_until 10 sized || fail "the window did not take the size ${SIZE_W}x${SIZE_H} (it is ${GW}x${GH})"
prev_h=$RH
redrawn_resized() { picture_shown resized && ((RH != prev_h)); }
wait_until 10 redrawn_resized || fail "the picture was not redrawn after the window was resized"
sleep 0.3
picture_shown resized || fail "the picture vanished after the resize"
check_colours "resized"
R1X=$RX R1Y=$RY R1W=$RW R1H=$RH W1=$GW H1=$GH X1=$GX Y1=$GY
if [[ $MODE == colours ]]; then
  quit_viewer
  e2e_passed
fi

# 3. F3: the view becomes the picture's size plus 4, the top-left corner stays.
focus "$WIN"
xdotool mousemove --sync $((GX + GW / 2)) $((GY + GH / 2))
xdotool key F3
fitted() { geometry "$WIN" && ((GW != W1 || GH != H1)); }
wait_until 10 fitted || fail "F3 did not change the window's size (${GW}x${GH})"
one_to_one() { picture_shown after-F3 && ((RW == PIC_W && RH == PIC_H)); }
wait_until 10 one_to_one || fail "after F3 the picture is drawn at ${RW}x${RH}, not at its own size ${PIC_W}x${PIC_H}"
geometry "$WIN"
check "F3 keeps the window's top-left corner ($X1,$Y1 -> $GX,$GY)" test "$GX" -eq "$X1" -a "$GY" -eq "$Y1"
check_colours "after F3"
W2=$GW H2=$GH R2X=$RX R2Y=$RY
# The layout around the view, from the fitted state: the view is the
# picture's size plus 4 and the picture fills it less 2 on each side.
MX=$((W2 - (PIC_W + 4))) MY=$((H2 - (PIC_H + 4)))
VX=$((R2X - 2 - GX)) VY=$((R2Y - 2 - GY))
log "layout: view at +$VX+$VY in the window, window is the view plus ${MX}x${MY}"
# Before F3 the view was the window less the same margins; the picture was
# fitted into it inset by 2, proportions kept, centred.
AW=$((W1 - MX - 4)) AH=$((H1 - MY - 4))
S=$(calc "($AW / $PIC_W < $AH / $PIC_H) ? $AW / $PIC_W : $AH / $PIC_H")
EW=$(calc "$PIC_W * $S") EH=$(calc "$PIC_H * $S")
EX=$(calc "$X1 + $VX + 2 + ($AW - $EW) / 2") EY=$(calc "$Y1 + $VY + 2 + ($AH - $EH) / 2")
for v in "R1X EX" "R1Y EY" "R1W EW" "R1H EH"; do
  set -- $v
  close_to "${!1}" "${!2}" 2 ||
    fail "before F3 the picture was drawn at ${R1W}x${R1H}+${R1X}+${R1Y}; a view of $((AW + 4))x$((AH + 4)) fits it at ${EW}x${EH}+${EX}+${EY}"
done
log "ok: the fit before F3 (${R1W}x${R1H}+${R1X}+${R1Y}) is the picture fitted into the view inset by 2, centred"

# 4. F3 again changes nothing (the F1 after it shows both keys were handled).
xdotool key F3

# 5. F1 with the pointer on the corner where four blocks meet: the corner
# stays under the pointer and the picture is shown twice as large.
JX=$(col_x 1) JY=$(row_y 1)
RX=$R2X RY=$R2Y RW=$PIC_W RH=$PIC_H
to_screen "$JX" "$JY"
PX=$SX PY=$SY
bbox "${BLOCK[1,0]}"
width_before=$BW
xdotool mousemove --sync "$PX" "$PY"
xdotool key F1
zoomed() { shot after-F1 && bbox "${BLOCK[1,0]}" && ((BW > width_before + 4)); }
wait_until 10 zoomed || fail "F1 did not zoom in (block (1,0) is $BW wide, was $width_before)"
geometry "$WIN"
check "a second F3 leaves the window's size (${W2}x${H2} -> ${GW}x${GH})" test "$GW" -eq "$W2" -a "$GH" -eq "$H2"
check "F1 doubles the scale (block (1,0) ${width_before} -> $BW wide)" close_to "$BW" $((2 * width_before)) 3
bbox "${BLOCK[0,0]}"
check "F1 keeps the corner under the pointer: block (0,0) ends at ($((BX + BW)),$((BY + BH))), pointer at ($PX,$PY)" \
  eval 'close_to $((BX + BW)) $PX 3 && close_to $((BY + BH)) $PY 3'
bbox "${BLOCK[1,1]}"
check "F1 keeps the corner under the pointer: block (1,1) starts at ($BX,$BY), pointer at ($PX,$PY)" \
  eval 'close_to $BX $PX 3 && close_to $BY $PY 3'

# 6. A click on the zoomed picture returns to the whole picture.
xdotool mousemove --sync $((PX + 40)) $((PY + 30)) click 1
whole_again() { picture_shown after-click && ((RW == PIC_W && RH == PIC_H)); }
wait_until 10 whole_again || fail "a click did not return to the whole picture (drawn at ${RW}x${RH})"
check "the whole picture is back in its place" test "$RX" -eq "$R2X" -a "$RY" -eq "$R2Y"

# 7. A rubber band inside block (2,1): that block fills the view.
C0=$(col_x 2) C1=$(col_x 3) L0=$(row_y 1) L1=$(row_y 2)
BAND_X0=$((C0 + (C1 - C0) * 15 / 100)) BAND_X1=$((C1 - (C1 - C0) * 15 / 100))
BAND_Y0=$((L0 + (L1 - L0) * 20 / 100)) BAND_Y1=$((L1 - (L1 - L0) * 20 / 100))
to_screen "$BAND_X0" "$BAND_Y0"
AX=$SX AY=$SY
to_screen "$BAND_X1" "$BAND_Y1"
BX1=$SX BY1=$SY
xdotool mousemove --sync "$AX" "$AY" mousedown 1
for step in 1 2 3 4; do
  xdotool mousemove --sync $((AX + (BX1 - AX) * step / 4)) $((AY + (BY1 - AY) * step / 4))
  sleep 0.05
done
xdotool mouseup 1
# The band, fitted into the view inset by 2 (the view is the picture plus 4).
BANDW=$((BX1 - AX)) BANDH=$((BY1 - AY))
S=$(calc "($PIC_W / $BANDW < $PIC_H / $BANDH) ? $PIC_W / $BANDW : $PIC_H / $BANDH")
FW=$(calc "$BANDW * $S") FH=$(calc "$BANDH * $S")
FX=$(calc "$R2X + ($PIC_W - $FW) / 2") FY=$(calc "$R2Y + ($PIC_H - $FH) / 2")
band_zoomed() { shot after-band && bbox "${BLOCK[2,1]}" && close_to "$BW" "$FW" 3 && close_to "$BH" "$FH" 3; }
wait_until 10 band_zoomed ||
  fail "after the band, block (2,1) covers ${BW}x${BH}+${BX}+${BY}; the band fitted into the view is ${FW}x${FH}+${FX}+${FY}"
check "the band's block fills the view (${BW}x${BH}+${BX}+${BY}, expected ${FW}x${FH}+${FX}+${FY})" \
  eval 'close_to $BX $FX 3 && close_to $BY $FY 3'
for other in "1 1" "3 1" "2 0" "2 2"; do
  set -- $other
  bbox "${BLOCK[$1,$2]}"
  check "block ($1,$2) is out of view after the band" test "$BW" -eq 0
done

# 8. Ctrl+Q ends the viewer with status 0.
quit_viewer
e2e_passed
