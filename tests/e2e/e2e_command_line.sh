#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The viewer's command line where there is no display at all: --help and
# --version answer on standard output with status 0, an unknown option is
# refused on standard error with status 2, and a file to show ends the run
# with one line and status 1 instead of an abort.
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/lib.sh"

[[ -x ${VRSVIEW:-} ]] || skip "the viewer is not built (${VRSVIEW:-unset})"
rm -rf "$E2E_ARTIFACTS"
mkdir -p "$E2E_ARTIFACTS"
out="$E2E_ARTIFACTS/out" err="$E2E_ARTIFACTS/err"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$VRSVIEW" "$@" >"$out" 2>"$err"; }

headless --help
status=$?
check "--help ends with 0 (got $status)" test "$status" = 0
check "--help tells the usage and the file:// URLs" grep -q 'file://' "$out"
check "--help writes nothing on standard error" test ! -s "$err"

headless --version
status=$?
check "--version ends with 0 (got $status)" test "$status" = 0
check "--version prints \"vrsview VERSION\" ($(<"$out"))" grep -Eqx 'vrsview [0-9]+\.[0-9]+\.[0-9]+' "$out"

headless --fit-width picture.vrs
status=$?
check "an unknown option ends with 2 (got $status)" test "$status" = 2
check "and is named on standard error" grep -q 'fit-width' "$err"
check "nothing on standard output" test ! -s "$out"

headless "$E2E_ARTIFACTS/none.vrs"
status=$?
check "without a display a file to show ends with 1, not an abort (got $status)" test "$status" = 1
check "with one line on standard error ($(<"$err"))" test "$(wc -l <"$err")" = 1
check "that speaks of the display" grep -qi 'display' "$err"
log "passed"
