# SPDX-License-Identifier: MIT
# install_test.sh thumbnailer: runs the installed thumbnailer entry's command
# line as a file manager does (size, input path, output path substituted, no
# home, no configuration) and checks the PNG.
# Sourced by install_test.sh (PREFIX, SHARE, WORK, fail, ok).

entry="$SHARE/thumbnailers/vrsview.thumbnailer"
[[ -f $entry ]] || fail "no thumbnailer entry at $entry"
grep -qx 'MimeType=image/x-vrscreen;' "$entry" || fail "the thumbnailer does not claim image/x-vrscreen"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
tryexec=$(sed -n 's/^TryExec=//p' "$entry")
[[ -x $PREFIX/bin/$tryexec ]] || fail "the thumbnailer's TryExec '$tryexec' is not installed"
read -ra exec_words <<<"$exec_line"
[[ ${exec_words[0]} == vrstool ]] || fail "the thumbnailer runs '${exec_words[0]}', not vrstool"

declare -A BLOCK
while read -r kind c r red green blue; do
  [[ $kind == block ]] && BLOCK[$c,$r]="$red $green $blue"
done < <("$E2E_PICTURE" --colours)

# Runs the entry's Exec line with %s %i %o substituted, from an empty folder,
# with nothing in the environment but a PATH that finds the installed vrstool.
thumbnail() {  # thumbnail SIZE IN OUT
  local words=() word
  for word in "${exec_words[@]}"; do
    case $word in
      %s) words+=("$1") ;;
      %i) words+=("$2") ;;
      %o) words+=("$3") ;;
      *) words+=("$word") ;;
    esac
  done
  local keep=() name
  # Sanitizer settings of a sanitizer build pass through; nothing else does.
  for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS; do
    [[ -n ${!name:-} ]] && keep+=("$name=${!name}")
  done
  (cd "$WORK/cwd" && env -i "PATH=$PREFIX/bin:/usr/bin:/bin" HOME=/nonexistent "${keep[@]}" "${words[@]}")
}

listing() { (cd "$1" && find . -mindepth 1 | sort); }

# The colour of a thumbnail pixel: "R G B".
pixel() { convert "$1" -depth 8 -format '%[fx:int(255*p{'"$2,$3"'}.r+.5)] %[fx:int(255*p{'"$2,$3"'}.g+.5)] %[fx:int(255*p{'"$2,$3"'}.b+.5)]' info:; }

near() {
  local -a a=($1) b=($2)
  local i d
  for i in 0 1 2; do
    d=$((a[i] - b[i]))
    ((d < 0)) && d=$((-d))
    ((d <= 4)) || return 1
  done
}

mkdir -p "$WORK/cwd" "$WORK/in put" "$WORK/out put"
check_one() {  # check_one SIZE WIDTH HEIGHT [e2e-picture options]
  local size=$1 w=$2 h=$3
  shift 3
  local in="$WORK/in put/pic $w x $h.vrs" out="$WORK/out put/thumb.png"
  "$E2E_PICTURE" "$@" "$w" "$h" "$in" || fail "e2e-picture failed"
  rm -f "$out"
  local before_cwd before_in
  before_cwd=$(listing "$WORK/cwd")
  before_in=$(listing "$WORK/in put")
  thumbnail "$size" "$in" "$out" >"$WORK/thumb.log" 2>&1 ||
    fail "the thumbnailer failed on $w x $h ($*) at $size: $(cat "$WORK/thumb.log")"
  local got tw th
  got=$(identify -format '%m %w %h' "$out" 2>&1) || fail "the thumbnail is not an image: $got"
  read -r format tw th <<<"$got"
  [[ $format == PNG ]] || fail "the thumbnail is $format, not PNG"
  local long=$((w > h ? w : h)) tlong=$((tw > th ? tw : th))
  local want=$((long < size ? long : size))
  ((tlong <= size)) || fail "a thumbnail of $w x $h asked at $size is $tw x $th"
  ((tlong == want)) || fail "a thumbnail of $w x $h asked at $size is $tw x $th; its longer side should be $want"
  local diff=$((tw * h - th * w))
  ((diff < 0)) && diff=$((-diff))
  ((diff <= long)) || fail "a thumbnail of $w x $h is $tw x $th: proportions lost"
  local c r x y colour
  for r in 0 1 2; do
    for c in 0 1 2 3; do
      x=$((tw * (2 * c + 1) / 8)) y=$((th * (2 * r + 1) / 6))
      colour=$(pixel "$out" "$x" "$y")
      near "$colour" "${BLOCK[$c,$r]}" ||
        fail "thumbnail of $w x $h ($*): block ($c,$r) at ($x,$y) is ($colour), expected (${BLOCK[$c,$r]})"
    done
  done
  [[ $(listing "$WORK/out put") == "./thumb.png" ]] || fail "the thumbnailer left more than its output: $(listing "$WORK/out put")"
  [[ $(listing "$WORK/cwd") == "$before_cwd" ]] || fail "the thumbnailer wrote into its working folder"
  [[ $(listing "$WORK/in put") == "$before_in" ]] || fail "the thumbnailer wrote beside its input"
  ok "$w x $h ($*) at $size: a $tw x $th PNG with the blocks in place, nothing else written"
}

check_one 128 640 480 --depth 32
check_one 256 640 480 --depth 32 --rect
check_one 128 413 571 --depth 16
check_one 256 571 413 --depth 16 --rect
check_one 256 100 60 --depth 32

# A refused file: failure, and no output at all.
bad="$WORK/in put/cut short.vrs"
"$E2E_PICTURE" --truncate 640 480 "$bad" || fail "e2e-picture --truncate failed"
rm -f "$WORK/out put/"*
if thumbnail 128 "$bad" "$WORK/out put/thumb.png" >"$WORK/thumb.log" 2>&1; then
  fail "the thumbnailer succeeded on a file cut short"
fi
[[ -z $(listing "$WORK/out put") ]] || fail "a failed thumbnail left files: $(listing "$WORK/out put")"
ok "a file cut short: failure status and no output"
