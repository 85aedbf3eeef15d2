#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The zoom commands in a real X server, on a 3200 x 2400 picture whose view
# image is reduced by 2, with a checkerboard of single pixels in block (1,1):
# F11 fills the screen, F3 leaves it so and Esc gives the window back, a wheel notch zooms
# about the pointer and back out, Ctrl+0 shows picture pixels one to one, and
# Ctrl+C puts exactly those pixels on the clipboard.
# With a scale factor (e2e_zoom_commands.sh 2): the viewer on a HiDPI screen
# of that many device pixels per point, where Ctrl+0 and Ctrl+C must still be
# one screen pixel per picture pixel. A picture size may follow
# (e2e_zoom_commands.sh 1.5 4000 3000): a view image reduced by 2.5, an
# inexact binary fraction, at a fractional scale factor once put the region
# shown a hair under one device pixel per picture pixel, and it was blurred.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"
use_scale_factor "${1:-1}"

PIC_W=${2:-3200} PIC_H=${3:-2400}
e2e_setup
command -v xclip >/dev/null || fail "xclip is not installed"
load_colours
CHECKER=$("$E2E_PICTURE" --colours | awk '$1 == "checker" { print $2, $3, $4 }')
FILE="$WORK/checker.vrs"
"$E2E_PICTURE" --checker "$PIC_W" "$PIC_H" "$FILE" || fail "could not write $FILE"

picture_shown() { shot "$1" && measure_picture; }
start_viewer "$FILE"
WIN=$(wait_window 30 'checker\.vrs') || fail "no window titled checker.vrs within 30 s"
wait_until 20 picture_shown opened || fail "the picture did not appear on the screen within 20 s"
WHOLE="$RX $RY $RW $RH"
geometry "$WIN"
WINDOW="$GX $GY $GW $GH"
focus "$WIN"

# 1. F11: the window covers the screen, the picture fills it less the view's
# bezel, no menu bar above it, no size line below; F3 leaves it so; Esc gives
# it back.
xdotool key F11
# (At a fractional scale the window may be a device pixel wider than the screen.)
covers() { ((GX == 0 && GY == 0 && GW >= 1600 && GW <= 1601 && GH >= 1200 && GH <= 1201)); }
full() { geometry "$WIN" && covers && picture_shown full-screen && ((RY <= 6)); }
wait_until 10 full || fail "after F11 the window is ${GW}x${GH}+${GX}+${GY} and the picture ${RW}x${RH}+${RX}+${RY}"
if [[ $SCALE == 1 ]]; then
  check "F11: the picture fills the screen (${RW}x${RH}+${RX}+${RY})" eval '((RY == 2 && RH == 1196)) && close_to "$RW" 1595 1'
fi
FULL="$RX $RY $RW $RH"
xdotool key F3
sleep 0.5
geometry "$WIN"
picture_shown full-screen-f3
check "F3 in full screen leaves the window (${GW}x${GH}+${GX}+${GY}) and the picture (${RW}x${RH}+${RX}+${RY}) as they were" \
  eval 'covers && [[ "$RX $RY $RW $RH" == "$FULL" ]]'
xdotool key Escape
restored() { geometry "$WIN" && [[ "$GX $GY $GW $GH" == "$WINDOW" ]] && picture_shown restored && [[ "$RX $RY $RW $RH" == "$WHOLE" ]]; }
wait_until 10 restored || fail "Esc did not give the window back: ${GW}x${GH}+${GX}+${GY} (was $WINDOW)"
log "ok: Esc gives the window back as it was"

if [[ $SCALE == 1 ]]; then
# 2. A wheel notch up with the pointer on the corner where four blocks meet:
# twice the scale, the corner still under the pointer; a notch down goes back.
to_screen "$(col_x 1)" "$(row_y 1)"
PX=$SX PY=$SY
bbox "${BLOCK[1,0]}"
width_before=$BW
xdotool mousemove --sync "$PX" "$PY" click 4
zoomed() { shot wheel-up && bbox "${BLOCK[1,0]}" && ((BW > width_before + 4)); }
wait_until 10 zoomed || fail "a wheel notch up did not zoom in"
check "a notch doubles the scale (block (1,0) ${width_before} -> $BW wide)" close_to "$BW" $((2 * width_before)) 3
bbox "${BLOCK[0,0]}"
check "the corner stays under the pointer: block (0,0) ends at ($((BX + BW)),$((BY + BH))), pointer at ($PX,$PY)" \
  eval 'close_to $((BX + BW)) $PX 2 && close_to $((BY + BH)) $PY 2'
xdotool click 5
whole() { picture_shown wheel-down && [[ "$RX $RY $RW $RH" == "$WHOLE" ]]; }
wait_until 10 whole || fail "a notch down did not return to the whole picture (${RW}x${RH}+${RX}+${RY})"
log "ok: a notch down returns to the whole picture"
fi

# 3. Ctrl+0: one screen pixel per picture pixel, so the checkerboard shows
# single pixels alternating along a whole row of block (1,1).
xdotool key ctrl+0
# The first frame may still be the view image enlarged while the detail is
# cut on its thread: wait for the picture's own pixels.
alternation() {
  ROW=$((BY + BH / 2))
  alternates=$(od -An -tu1 -v -w3 -j $(((ROW * SHOT_W + BX) * 3)) -N $((BW * 3)) "${SHOT%.png}.rgb" |
    awk -v c="$CHECKER" -v b="${BLOCK[1,1]}" '
      function near(p, q,   i, d) { for (i = 1; i <= 3; i++) { d = p[i] - q[i]; if (d > 3 || d < -3) return 0 } return 1 }
      BEGIN { split(c, C, " "); split(b, B, " ") }
      { split($0, p, " "); k = near(p, C) ? 1 : near(p, B) ? 0 : -1
        if (k < 0 || (NR > 1 && k == last)) { print NR - 1; exit } last = k }
      END { if (k >= 0) print "all" }')
  [[ $alternates == all ]]
}
has_checker() { shot actual-size && bbox "$CHECKER" && ((BW > 400)); }
one_to_one() { has_checker && alternation; }
wait_until 15 has_checker || fail "after Ctrl+0 the checkerboard's single pixels did not show"
wait_until 15 one_to_one || true  # told by the check below
check "Ctrl+0: $BW pixels of a row alternate between the checker and block (1,1) (broke at: $alternates)" test "$alternates" = all

# 4. Ctrl+C: the clipboard holds the region shown, at the picture's own
# pixels: exactly what the screen shows one to one.
SCREEN_SHOT=$SHOT
xdotool key ctrl+c
CLIP="$E2E_ARTIFACTS/clipboard.png"
copied() { xclip -selection clipboard -t image/png -o >"$CLIP" 2>/dev/null && [[ -s $CLIP ]]; }
wait_until 10 copied || fail "Ctrl+C put no image on the clipboard"
CW=$(identify -format '%w' "$CLIP") CH=$(identify -format '%h' "$CLIP")
SHOT=$SCREEN_SHOT
bbox "${BLOCK[2,1]}"
SX0=$BX SY0=$BY
SHOT=$CLIP
bbox "${BLOCK[2,1]}"
((BW > 0)) || fail "the copy (${CW}x${CH}) has no block (2,1)"
OX=$((SX0 - BX)) OY=$((SY0 - BY))
# At a fractional scale the view's edges may fall inside a device pixel: the
# outermost rows and columns of the copy are left out there.
EW=$CW EH=$CH E=0
if [[ $SCALE != 1 ]]; then EW=$((CW - 2)) EH=$((CH - 2)) E=1; fi
differ=$("$CONVERT" "$SCREEN_SHOT" -crop "${EW}x${EH}+$((OX + E))+$((OY + E))" +repage -alpha off \
  \( "$CLIP" -alpha off -crop "${EW}x${EH}+${E}+${E}" +repage \) \
  -compose difference -composite -threshold 1% -format '%[fx:mean*w*h]' info:)
check "the ${CW}x${CH} copy is the screen's pixels at +${OX}+${OY} (${differ} differ)" test "$differ" = 0
check "the copy is the view's size at one to one (${CW}x${CH})" eval '((CW > 1300 && CH > 1000))'

focus "$WIN"
xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
