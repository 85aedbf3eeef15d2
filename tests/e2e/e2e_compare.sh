#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Comparing two captures in a real X server: vrsview --compare A B, where B
# (16 bits) is A (32 bits) with one patch. D shows the difference, N shows
# the changed region at actual size about the view's centre, red exactly
# over the patch; B flips to B, whose patch lies exactly there, and again to
# A, which has none; Esc leaves the comparison. The title says what is shown.
# With a scale factor (e2e_compare.sh 2): a HiDPI screen, where actual size
# is still one screen pixel per picture pixel.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"
use_scale_factor "${1:-1}"

PIC_W=2400 PIC_H=1800
PATCH_X=1510 PATCH_Y=880 PATCH_W=48 PATCH_H=30
e2e_setup
load_colours
PATCH=$("$E2E_PICTURE" --colours | awk '$1 == "patch" { print $2, $3, $4 }')
RED="255 0 0"
"$E2E_PICTURE" "$PIC_W" "$PIC_H" "$WORK/a.vrs" || fail "could not write a.vrs"
"$E2E_PICTURE" --depth 16 --patch "$PATCH_X,$PATCH_Y,$PATCH_W,$PATCH_H" "$PIC_W" "$PIC_H" \
  "$WORK/b.vrs" || fail "could not write b.vrs"

picture_shown() { shot "$1" && measure_picture; }
titled() { [[ $(xdotool getwindowname "$WIN" 2>/dev/null) == "$1" ]]; }
start_viewer --compare "$WORK/a.vrs" "$WORK/b.vrs"
WIN=$(wait_window 30 '^A: a\.vrs') || fail "no window titled \"A: a.vrs …\" within 30 s"
wait_until 20 picture_shown opened || fail "A did not appear on the screen within 20 s"
check "the title says A is shown" titled "A: a.vrs (compared with b.vrs)"
focus "$WIN"

# D, pressed maybe before the difference is found, shows it once it is.
xdotool key d
red_shown() { shot "$1" && bbox "$RED" && ((BW > 0)); }
wait_until 30 red_shown difference || fail "D showed no red"
check "the title says the difference is shown" titled "Difference of a.vrs and b.vrs"

# N: the one changed region at actual size, one screen pixel per picture
# pixel, about the middle of the window. (N again shows the same region.)
at_actual_size() { xdotool key n && red_shown region && ((BW == PATCH_W && BH == PATCH_H)); }
wait_until 15 at_actual_size || fail "after N the red is ${BW}x${BH}, not the region's ${PATCH_W}x${PATCH_H}"
RED_BOX="${BW}x${BH}+${BX}+${BY}"
geometry "$WIN"
check "N: the region ($RED_BOX) is in the middle of the window (${GW}x${GH}+${GX}+${GY})" \
  eval 'close_to $((2 * BX + BW)) $((2 * GX + GW)) 4 && close_to $((2 * BY + BH)) $((2 * GY + GH)) $((80 * ${SCALE%.*}))'
grey=$(pixel $((BX + BW + 10)) $((BY + BH / 2)))
check "D: beside the region the picture is dimmed grey ($grey)" \
  eval '[[ $(awk -v c="$grey" "BEGIN { split(c, p, \" \"); print (p[1] == p[2] && p[2] == p[3] && p[1] > 160) }") == 1 ]]'

# B: from the difference, B in the same place; its patch lies under the red.
xdotool key b
patch_shown() { shot "$1" && bbox "$PATCH" && ((BW > 0)); }
wait_until 10 patch_shown flipped-to-b || fail "B did not show B's patch"
check "B: B's patch ${BW}x${BH}+${BX}+${BY} is exactly where the red was ($RED_BOX)" \
  test "${BW}x${BH}+${BX}+${BY}" = "$RED_BOX"
check "the title says B is shown" titled "B: b.vrs (compared with a.vrs)"

# B again: A, without the patch, in the same place.
xdotool key b
patch_gone() { shot "$1" && bbox "$PATCH" && ((BW == 0)) && bbox "${BLOCK[2,1]}" && ((BW > 0)); }
wait_until 10 patch_gone flipped-to-a || fail "B again did not show A"
check "the title says A is shown" titled "A: a.vrs (compared with b.vrs)"

# Esc: comparing no more, A stays as it is shown.
xdotool key Escape
wait_until 10 titled a.vrs || fail "Esc did not leave the comparison"
xdotool key d
sleep 0.5
red_gone() { shot "$1" && bbox "$RED" && ((BW == 0)); }
check "after Esc, D is no command" red_gone after-escape

xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
