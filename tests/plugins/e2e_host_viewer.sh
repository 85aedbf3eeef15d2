#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Another program's viewer opens a capture through our plugin and shows its
# pixels: the sample's three corner marks (red top-left, green top-right,
# blue bottom-left) are found on the screen where they belong.
#   e2e_host_viewer.sh eog|qimgv|geeqie
# Expects E2E_NAME, E2E_ARTIFACTS, MAKE_SAMPLE (the sample writer),
# VRS_QT5_PLUGINS (the built Qt 5 plugin folder), VRS_PIXBUF_LOADER (the
# built loader), PIXBUF_QUERY_LOADERS, PIXBUF_MODULEDIR and VRS_MIME_XML.
source "$(dirname "$0")/../e2e/lib.sh"
viewer=$1
command -v "$viewer" >/dev/null || skip "$viewer is not installed"
for tool in import xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
rm -rf "$E2E_ARTIFACTS"
mkdir -p "$E2E_ARTIFACTS/home" "$E2E_ARTIFACTS/share/mime/packages"
export HOME="$E2E_ARTIFACTS/home"
export XDG_RUNTIME_DIR="$E2E_ARTIFACTS/runtime" XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
wait_until 15 xdpyinfo_quiet || fail "the X server $DISPLAY does not answer"

# The file type and the loader, as the packages install them.
cp "$VRS_MIME_XML" "$E2E_ARTIFACTS/share/mime/packages/"
update-mime-database "$E2E_ARTIFACTS/share/mime" || fail "update-mime-database failed"
export XDG_DATA_DIRS="$E2E_ARTIFACTS/share:/usr/local/share:/usr/share"
"$PIXBUF_QUERY_LOADERS" "$PIXBUF_MODULEDIR"/*.so "$VRS_PIXBUF_LOADER" >"$E2E_ARTIFACTS/loaders.cache" ||
  fail "gdk-pixbuf-query-loaders failed"
export GDK_PIXBUF_MODULE_FILE="$E2E_ARTIFACTS/loaders.cache"
export QT_PLUGIN_PATH="$VRS_QT5_PLUGINS" QT_QPA_PLATFORM=xcb
"$MAKE_SAMPLE" 480 360 "$E2E_ARTIFACTS/capture.vrs" || fail "make-sample failed"
private_session_bus

case $viewer in
  eog) command=(eog --new-instance "$E2E_ARTIFACTS/capture.vrs") ;;
  qimgv) command=(qimgv "$E2E_ARTIFACTS/capture.vrs") ;;
  geeqie) command=(geeqie "$E2E_ARTIFACTS/capture.vrs") ;;
  *) fail "unknown viewer $viewer" ;;
esac
"${command[@]}" >"$E2E_ARTIFACTS/viewer.out" 2>"$E2E_ARTIFACTS/viewer.err" &
VIEWER_PID=$!
log "$viewer pid $VIEWER_PID"

# The three marks, each one square, where the sample puts them.
marks_shown() {
  shot "$viewer"
  bbox "250 10 20"
  ((BW > 4)) || return 1
  local rx=$BX ry=$BY rw=$BW rh=$BH
  bbox "15 240 30"
  ((BW > 4)) || return 1
  local gx=$BX gy=$BY gw=$BW
  bbox "20 30 245"
  ((BW > 4)) || return 1
  local bx=$BX by=$BY
  # A picture drawn square: the marks are as wide as they are high; green
  # on the same rows as red, far to its right; blue in red's columns, below.
  close_to "$rw" "$rh" 2 && close_to "$gw" "$rw" 2 && close_to "$gy" "$ry" 2 &&
    close_to "$bx" "$rx" 2 && ((gx > rx + 10 * rw && by > ry + 5 * rh)) || return 1
  log "marks: red ${rw}x${rh}+$rx+$ry, green at $gx,$gy, blue at $bx,$by"
}
wait_until 60 marks_shown || fail "$viewer did not show the capture's three marks"
log "ok: $viewer shows the capture"
