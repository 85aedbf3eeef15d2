#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Go > Next File and Previous File in a real X server: in a folder of shot1,
# shot2 (portrait) and shot10, Page Down and Right step through them in that
# order in the same window, which keeps its place and size; at the last file
# nothing happens. The window carries the application's icon (_NET_WM_ICON).
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"
source "$HERE/picture.sh"

e2e_setup
load_colours
"$E2E_PICTURE" 640 480 "$WORK/shot1.vrs" || fail "could not write shot1.vrs"
"$E2E_PICTURE" --depth 16 300 450 "$WORK/shot2.vrs" || fail "could not write shot2.vrs"
"$E2E_PICTURE" 520 260 "$WORK/shot10.vrs" || fail "could not write shot10.vrs"
picture_shown() { shot "$1" && measure_picture; }
# The picture drawn is wider than high (landscape) or not.
landscape() { picture_shown "$1" && ((RW > RH)); }
portrait() { picture_shown "$1" && ((RH > RW)); }
titled() { [[ $(xdotool getwindowname "$WIN" 2>/dev/null) == "$1" ]]; }

start_viewer "$WORK/shot1.vrs"
WIN=$(wait_window 30 'shot1\.vrs') || fail "no window titled shot1.vrs within 30 s"
wait_until 20 landscape shot1 || fail "shot1 did not appear on the screen within 20 s"
geometry "$WIN"
PLACE="${GW}x${GH}+${GX}+${GY}"
icons() { ICONS=$(xprop -id "$WIN" _NET_WM_ICON) && [[ $ICONS == *"Icon (16 x 16)"* && $ICONS == *"Icon (48 x 48)"* ]]; }
check "the window carries the icon at 16 and 48 pixels (_NET_WM_ICON)" icons

focus "$WIN"
xdotool key Next
wait_until 15 titled shot2.vrs || fail "Page Down did not show shot2.vrs in the same window"
wait_until 10 portrait shot2 || fail "the portrait picture of shot2 was not drawn"
geometry "$WIN"
check "the window keeps its place and size ($PLACE -> ${GW}x${GH}+${GX}+${GY})" \
  test "$PLACE" = "${GW}x${GH}+${GX}+${GY}"
check_picture_count() { [[ $(viewer_windows | wc -l) -eq 1 ]]; }
check "no other window opened" check_picture_count

xdotool key Right
wait_until 15 titled shot10.vrs || fail "Right did not show shot10.vrs after shot2.vrs"
wait_until 10 landscape shot10 || fail "shot10 was not drawn"
xdotool key Next
sleep 1
check "at the last file Page Down does nothing" titled shot10.vrs
xdotool key Prior
wait_until 15 titled shot2.vrs || fail "Page Up did not go back to shot2.vrs"

xdotool key ctrl+q
wait_viewer_exit 15
check "Ctrl+Q ends the viewer with status 0 (got $VIEWER_STATUS)" test "$VIEWER_STATUS" = 0
e2e_passed
