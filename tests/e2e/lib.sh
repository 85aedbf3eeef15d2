# SPDX-License-Identifier: MIT
# Helpers for the end-to-end tests: sourced by each test script, which runs
# inside an X server of its own (see run_in_xvfb.sh). Every wait is bounded.
#
# Expects: E2E_NAME (test name), E2E_ARTIFACTS (folder for this test's
# screenshots and logs), VRSVIEW (the viewer), E2E_PICTURE (the picture
# generator).

set -uo pipefail

SKIP_CODE=77
CONVERT=/usr/bin/convert
[[ -x $CONVERT ]] || CONVERT=convert
VIEWER_PID=""
SHOT_COUNT=0

log() { printf '%s: %s\n' "$E2E_NAME" "$*" >&2; }

skip() {
  log "SKIP: $*"
  exit "$SKIP_CODE"
}

# Ends the test as failed; the screenshots taken so far stay in the artefacts
# folder, with a last one of the whole screen.
fail() {
  log "FAIL: $*"
  xdpyinfo >/dev/null 2>&1 || log "the X server $DISPLAY does not answer (any more)"
  if [[ -s $E2E_ARTIFACTS/viewer.err ]]; then
    log "the viewer's standard error (last lines):"
    tail -n 15 "$E2E_ARTIFACTS/viewer.err" >&2
  fi
  import -window root "$E2E_ARTIFACTS/zz-at-failure.png" 2>/dev/null || true
  if viewer_alive; then
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$VIEWER_PID" --name '.*' 2>/dev/null); do
      log "visible window $w \"$(xdotool getwindowname "$w" 2>/dev/null)\" $(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null)"
    done
  fi
  log "screenshots and logs kept in $E2E_ARTIFACTS"
  exit 1
}

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if ! "$@"; then
    fail "$what"
  fi
  log "ok: $what"
}

BUS_PID=""
cleanup() {
  if [[ -n $VIEWER_PID ]] && kill -0 "$VIEWER_PID" 2>/dev/null; then
    kill "$VIEWER_PID" 2>/dev/null
    sleep 0.5
    kill -9 "$VIEWER_PID" 2>/dev/null
  fi
  if [[ -n $BUS_PID ]]; then
    kill "$BUS_PID" 2>/dev/null
  fi
}

# A session bus of the test's own, ended with it, on which nothing can be
# started on demand: no accessibility bus, no desktop portals (and so no
# FUSE mount of theirs), no settings service. Programs are told to ask for
# none of them.
private_session_bus() {
  local config="$E2E_ARTIFACTS/session-bus.conf" address="$E2E_ARTIFACTS/session-bus.address"
  cat >"$config" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$XDG_RUNTIME_DIR</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$config" --nofork --nopidfile --print-address=3 3>"$address" &
  BUS_PID=$!
  wait_until 10 test -s "$address" || fail "the test's session bus did not start"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$address")
  export DBUS_SESSION_BUS_ADDRESS NO_AT_BRIDGE=1 GTK_USE_PORTAL=0 GDK_DEBUG=no-portals
  export GSETTINGS_BACKEND=memory
  log "session bus pid $BUS_PID at $DBUS_SESSION_BUS_ADDRESS"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

xdpyinfo_quiet() { xdpyinfo >/dev/null 2>&1; }

# Puts TEXT into the focused text field in one paste (Ctrl+V) rather than key
# by key: a file dialog's completer, working while the keys arrive, can turn
# a path typed key by key into another one on a busy machine.
paste_text() {  # paste_text TEXT
  command -v xclip >/dev/null || fail "xclip is not installed"
  printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1 || fail "could not put the text on the clipboard"
  xdotool key ctrl+v
}

e2e_setup() {
  [[ -x ${VRSVIEW:-} ]] || skip "the viewer is not built (${VRSVIEW:-unset})"
  [[ -x ${E2E_PICTURE:-} ]] || skip "the picture generator is not built"
  for tool in xdotool import xprop xdpyinfo; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
  done
  rm -rf "$E2E_ARTIFACTS"
  mkdir -p "$E2E_ARTIFACTS"
  export XDG_RUNTIME_DIR="$E2E_ARTIFACTS/runtime"
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  # Settings (recent files, Keep Zoom Across Files) of this test's own, so
  # that tests running side by side, and the user's own settings, stay apart.
  export XDG_CONFIG_HOME="$E2E_ARTIFACTS/config" XDG_CACHE_HOME="$E2E_ARTIFACTS/cache"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  export QT_QPA_PLATFORM=xcb
  # xvfb-run returns once the server says it is ready; make sure it answers.
  wait_until 15 xdpyinfo_quiet || fail "the X server $DISPLAY does not answer"
  WORK="$E2E_ARTIFACTS/work"
  mkdir -p "$WORK"
}

# A successful run keeps only its logs (all of it with E2E_KEEP=1).
e2e_passed() {
  if [[ ${E2E_KEEP:-0} != 1 ]]; then
    rm -rf "$WORK" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    rm -f "$E2E_ARTIFACTS"/*.png "$E2E_ARTIFACTS"/*.rgb
  fi
  log "passed"
  exit 0
}

# wait_until SECONDS COMMAND...: polls every 0.1 s; status 1 on time-out.
# The scale factor a test was given (1 when none), the viewer's HiDPI scale.
use_scale_factor() {
  SCALE=${1:-1}
  if [[ $SCALE != 1 ]]; then
    export QT_SCALE_FACTOR=$SCALE
  fi
}

wait_until() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  while ! "$@"; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.1
  done
  return 0
}

start_viewer() {  # start_viewer FILE...
  "$VRSVIEW" "$@" >"$E2E_ARTIFACTS/viewer.out" 2>"$E2E_ARTIFACTS/viewer.err" &
  VIEWER_PID=$!
  log "viewer pid $VIEWER_PID: $*"
}

# Alive and not a zombie waiting to be reaped.
viewer_alive() {
  [[ -n $VIEWER_PID ]] && kill -0 "$VIEWER_PID" 2>/dev/null &&
    [[ $(ps -o stat= -p "$VIEWER_PID" 2>/dev/null) != Z* ]]
}

# Waits for the viewer to end; sets VIEWER_STATUS to its exit status, or to
# "timeout". Runs in the shell that started the viewer, which alone can wait
# for it.
wait_viewer_exit() {  # wait_viewer_exit SECONDS
  local deadline=$((SECONDS + $1))
  while kill -0 "$VIEWER_PID" 2>/dev/null; do
    if ((SECONDS >= deadline)); then
      VIEWER_STATUS=timeout
      return
    fi
    sleep 0.1
  done
  VIEWER_STATUS=0
  wait "$VIEWER_PID" || VIEWER_STATUS=$?
  VIEWER_PID=""
}

# The visible windows of the viewer whose title matches a pattern.
viewer_windows() {  # viewer_windows [NAME-PATTERN]
  xdotool search --all --onlyvisible --pid "$VIEWER_PID" --name "${1:-.*}" 2>/dev/null
}

# Waits for a visible viewer window with that title; prints its id.
wait_window() {  # wait_window SECONDS NAME-PATTERN
  local deadline=$((SECONDS + $1)) ids
  while ((SECONDS < deadline)); do
    viewer_alive || return 1
    ids=$(viewer_windows "$2")
    if [[ -n $ids ]]; then
      head -n1 <<<"$ids"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The viewer's visible dialog windows (message boxes, file dialogs).
is_dialog() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG; }
dialogs() {  # dialogs [NAME-PATTERN]
  local w
  for w in $(viewer_windows "${1:-.*}"); do
    is_dialog "$w" && echo "$w"
  done
}
dialog_shown() { [[ -n $(dialogs "$@") ]]; }
no_dialog() { [[ -z $(dialogs "$@") ]]; }

# Sets GX GY GW GH to a window's position and size on the screen.
geometry() {  # geometry WINDOW
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  GX=$X GY=$Y GW=$WIDTH GH=$HEIGHT
}

# Takes a screenshot of the whole screen; sets SHOT to its PNG.
shot() {  # shot LABEL
  SHOT_COUNT=$((SHOT_COUNT + 1))
  SHOT=$(printf '%s/%02d-%s.png' "$E2E_ARTIFACTS" "$SHOT_COUNT" "$1")
  import -window root "$SHOT" || fail "import could not take a screenshot"
  "$CONVERT" "$SHOT" -depth 8 "rgb:${SHOT%.png}.rgb" || fail "convert could not read $SHOT"
  SHOT_W=$(identify -format '%w' "$SHOT")
}

# The colour at a screen point of the last screenshot: "R G B".
pixel() {  # pixel X Y
  od -An -tu1 -v -j $((($2 * SHOT_W + $1) * 3)) -N3 "${SHOT%.png}.rgb" | xargs
}

# True when two colours differ by at most TOL in every channel.
near() {  # near "R G B" "R G B" [TOL]
  local -a a=($1) b=($2)
  local tol=${3:-3} i d
  ((${#a[@]} == 3 && ${#b[@]} == 3)) || return 1
  for i in 0 1 2; do
    d=$((a[i] - b[i]))
    ((d < 0)) && d=$((-d))
    ((d <= tol)) || return 1
  done
  return 0
}

# Bounding box, on the last screenshot, of the pixels of one colour: sets
# BX BY BW BH (BW = 0 when there is none).
bbox() {  # bbox "R G B"
  local -a c=($1)
  local rgb="rgb(${c[0]},${c[1]},${c[2]})" box
  box=$("$CONVERT" "$SHOT" -alpha off -fuzz 4% -fill black +opaque "$rgb" \
    -fill white -opaque "$rgb" -format '%@' info: 2>/dev/null)
  if [[ $box =~ ^([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+)$ ]]; then
    BW=${BASH_REMATCH[1]} BH=${BASH_REMATCH[2]} BX=${BASH_REMATCH[3]} BY=${BASH_REMATCH[4]}
  else
    BW=0 BH=0 BX=0 BY=0
  fi
  ((BW > 0 && BH > 0)) || BW=0
}

# |a - b| <= tol for numbers that may be fractional.
close_to() {  # close_to A B TOL
  awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'
}

calc() { awk "BEGIN { printf \"%.3f\", $* }"; }
round() { awk -v v="$1" 'BEGIN { printf "%d", (v < 0 ? v - 0.5 : v + 0.5) }'; }

# Puts the keyboard focus on a window (there is no window manager).
focus() {  # focus WINDOW
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}
