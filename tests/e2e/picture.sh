# SPDX-License-Identifier: MIT
# The test picture's layout (see e2e_picture.cpp), and where it was drawn on
# the screen. Sourced after lib.sh.

declare -A BLOCK
load_colours() {
  local kind c r red green blue
  while read -r kind c r red green blue; do
    if [[ $kind == block ]]; then
      BLOCK[$c,$r]="$red $green $blue"
    elif [[ $kind == mark ]]; then
      MARK="$c $r $red"
    fi
  done < <("$E2E_PICTURE" --colours)
  [[ -n ${BLOCK[3,2]:-} && -n ${MARK:-} ]] || fail "e2e-picture --colours gave no table"
}

# Block edges in picture pixels, rows counted from the top: column c spans
# [W*c/4, W*(c+1)/4), row r spans [H*r/3, H*(r+1)/3).
col_x() { echo $((PIC_W * $1 / 4)); }
row_y() { echo $((PIC_H * $1 / 3)); }

# Finds the drawn picture on the last screenshot from its top-left and
# bottom-right blocks: sets RX RY RW RH (screen pixels). Status 1 if either
# block is not on the screen.
measure_picture() {
  bbox "${BLOCK[0,0]}"
  ((BW > 0)) || return 1
  local x0=$BX y0=$BY
  bbox "${BLOCK[3,2]}"
  ((BW > 0)) || return 1
  RX=$x0 RY=$y0 RW=$((BX + BW - x0)) RH=$((BY + BH - y0))
  ((RW > 0 && RH > 0))
}

# A picture point (x right, y down, in pixels) on the screen, as drawn in
# RX RY RW RH: sets SX SY (whole pixels).
to_screen() {  # to_screen X Y
  SX=$(round "$(calc "$RX + ($1) * $RW / $PIC_W")")
  SY=$(round "$(calc "$RY + ($2) * $RH / $PIC_H")")
}

# Every block centre, the mark and a point of the top-left block beside the
# mark show their own colours where the picture was drawn.
check_colours() {  # check_colours LABEL
  local c r x y got
  for r in 0 1 2; do
    for c in 0 1 2 3; do
      x=$((($(col_x "$c") + $(col_x $((c + 1))) ) / 2))
      y=$((($(row_y "$r") + $(row_y $((r + 1))) ) / 2))
      to_screen "$x" "$y"
      got=$(pixel "$SX" "$SY")
      near "$got" "${BLOCK[$c,$r]}" || fail "$1: block ($c, $r) at screen ($SX, $SY) is ($got), expected (${BLOCK[$c,$r]})"
    done
  done
  local bw=$((PIC_W / 4)) bh=$((PIC_H / 3))
  to_screen $((bw / 4)) $((bh / 4))
  got=$(pixel "$SX" "$SY")
  near "$got" "$MARK" || fail "$1: the mark at screen ($SX, $SY) is ($got), expected ($MARK)"
  to_screen $((bw / 4)) $((bh * 3 / 4))
  got=$(pixel "$SX" "$SY")
  near "$got" "${BLOCK[0,0]}" || fail "$1: below the mark at ($SX, $SY) is ($got), expected (${BLOCK[0,0]})"
  log "ok: $1: 12 blocks and the mark where they belong, picture drawn at ${RW}x${RH}+${RX}+${RY}"
}
