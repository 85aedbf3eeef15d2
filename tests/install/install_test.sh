#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks it as a Linux desktop
# would use it.
#   install_test.sh desktop      desktop entry, file type, icons, manual pages
#   install_test.sh programs     the installed vrsview and vrstool, and the
#                                manual page against vrstool's own help
#   install_test.sh thumbnailer  the thumbnailer entry's command line, run as
#                                a file manager runs it
# Environment: BUILD_DIR, MAKE_SAMPLE, E2E_PICTURE, ARTIFACTS; VRSVIEW_BUILT
# and VRSTOOL_BUILT (1 or 0). Exit 77: skipped, a program is not built yet.
set -uo pipefail
mode=$1
SKIP=77
name="install_$mode"
log() { printf '%s: %s\n' "$name" "$*" >&2; }
fail() {
  log "FAIL: $*"
  log "files kept in $WORK"
  exit 1
}
skip() {
  log "SKIP: $*"
  exit "$SKIP"
}
ok() { log "ok: $*"; }

case $mode in
  desktop) ;;
  programs) [[ $VRSVIEW_BUILT == 1 && $VRSTOOL_BUILT == 1 ]] || skip "vrsview and vrstool are not both built yet" ;;
  thumbnailer) [[ $VRSTOOL_BUILT == 1 ]] || skip "vrstool is not built yet" ;;
  *) echo "usage: install_test.sh desktop|programs|thumbnailer" >&2; exit 2 ;;
esac

WORK="$ARTIFACTS/$mode"
rm -rf "$WORK"
mkdir -p "$WORK"
DEST="$WORK/dest"
PREFIX="$DEST/opt/vrsview"
# A staged install, as packages make it: DESTDIR plus the final prefix.
DESTDIR="$DEST" cmake --install "$BUILD_DIR" --prefix /opt/vrsview >"$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -n5 "$WORK/install.log")"
SHARE="$PREFIX/share"
APP=org.vrsview.vrsview

# The environment of a session that knows only the system's and the prefix's
# data: no desktop environment, an empty home.
export HOME="$WORK/home"
mkdir -p "$HOME"
desktop_env=(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION
  -u GNOME_DESKTOP_SESSION_ID -u MATE_DESKTOP_SESSION_ID -u DBUS_SESSION_BUS_ADDRESS
  "XDG_DATA_HOME=$HOME/.local/share" "XDG_DATA_DIRS=$SHARE:/usr/share" "HOME=$HOME")

check_desktop() {
  local entry="$SHARE/applications/$APP.desktop"
  [[ -f $entry ]] || fail "no desktop entry at $entry"
  desktop-file-validate "$entry" >"$WORK/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$WORK/validate.log")"
  [[ -s $WORK/validate.log ]] && fail "desktop-file-validate warns: $(cat "$WORK/validate.log")"
  ok "desktop-file-validate accepts $APP.desktop"
  grep -qx 'MimeType=image/x-vrscreen;' "$entry" || fail "the entry does not claim image/x-vrscreen"
  grep -qx 'Exec=vrsview %F' "$entry" || fail "the entry does not run vrsview %F"
  grep -qx "Icon=$APP" "$entry" || fail "the entry's icon is not $APP"
  grep -qx 'Categories=Graphics;Viewer;' "$entry" || fail "the entry is not in Graphics;Viewer;"
  ok "the entry opens image/x-vrscreen files with vrsview %F"

  local metainfo="$SHARE/metainfo/$APP.metainfo.xml"
  [[ -f $metainfo ]] || fail "no AppStream metadata at $metainfo"
  command -v appstreamcli >/dev/null || fail "appstreamcli is missing (Debian package appstream)"
  appstreamcli validate --no-net "$metainfo" >"$WORK/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$WORK/appstream.log")"
  grep -q "<launchable type=\"desktop-id\">$APP.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $APP.desktop"
  ok "appstreamcli validates $APP.metainfo.xml, which launches the desktop entry"

  local icon size got
  for icon in apps/$APP mimetypes/image-x-vrscreen; do
    [[ -f $SHARE/icons/hicolor/scalable/$icon.svg ]] || fail "no scalable icon $icon.svg"
    for size in 16 22 24 32 48 64 128 256; do
      got=$(identify -format '%m %wx%h' "$SHARE/icons/hicolor/${size}x$size/$icon.png" 2>/dev/null)
      [[ $got == "PNG ${size}x$size" ]] || fail "icon ${size}x$size/$icon.png is '$got'"
    done
  done
  ok "application and file-type icons in hicolor, SVG and PNG 16 to 256"

  local page
  for page in vrsview vrstool; do
    [[ -f $SHARE/man/man1/$page.1 ]] || fail "no manual page $page.1"
    LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$SHARE/man/man1/$page.1" >"$WORK/groff.log" 2>&1
    [[ -s $WORK/groff.log ]] && fail "groff warns about $page.1: $(cat "$WORK/groff.log")"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$SHARE/man/man1/$page.1" 2>/dev/null | grep -q "^NAME" ||
      fail "man cannot show $page.1"
  done
  ok "manual pages vrsview(1) and vrstool(1) render without warnings"
}

query() {  # query FILE [DATA_DIRS]: the type xdg-mime gives FILE
  local dirs=${2:-$SHARE:/usr/share}
  "${desktop_env[@]}" "XDG_DATA_DIRS=$dirs" xdg-mime query filetype "$1" 2>>"$WORK/xdg-mime.log"
}

check_file_type() {
  [[ -f $SHARE/mime/packages/$APP.xml ]] || fail "no shared-mime-info package"
  update-mime-database "$SHARE/mime" >"$WORK/update-mime.log" 2>&1 ||
    fail "update-mime-database failed: $(cat "$WORK/update-mime.log")"
  [[ -f $SHARE/mime/image/x-vrscreen.xml ]] || fail "update-mime-database did not register image/x-vrscreen"
  ok "update-mime-database registers image/x-vrscreen"
  # xdg-mime outside a desktop session asks mimetype(1) (File::MimeInfo);
  # without it, file(1), which cannot know this type.
  mimetype --version >/dev/null 2>&1 ||
    fail "mimetype is missing (Debian package libfile-mimeinfo-perl): xdg-mime would ask file(1)"

  local samples="$WORK/samples" f got
  mkdir -p "$samples"
  "$MAKE_SAMPLE" 64 48 "$samples/sized.vrs" || fail "make-sample failed"
  "$MAKE_SAMPLE" --rect 64 48 "$samples/rect.vrs" || fail "make-sample --rect failed"
  "$MAKE_SAMPLE" --depth 16 64 48 "$samples/sized16.vrs" || fail "make-sample --depth 16 failed"
  cp "$samples/sized.vrs" "$samples/sized-no-extension"
  cp "$samples/rect.vrs" "$samples/rect-no-extension"
  for f in sized.vrs rect.vrs sized16.vrs sized-no-extension; do
    got=$(query "$samples/$f")
    [[ $got == image/x-vrscreen ]] || fail "xdg-mime query filetype $f gives '$got'"
  done
  ok "xdg-mime: image/x-vrscreen for both header forms by extension, and the sized one by its magic alone"
  got=$(query "$samples/rect-no-extension")
  [[ $got != image/x-vrscreen ]] || fail "a rectangle-header file without extension is taken for image/x-vrscreen"
  got=$(query "$samples/sized.vrs" /usr/share)
  [[ $got != image/x-vrscreen ]] ||
    fail "the system already knows image/x-vrscreen without the prefix: this check proves nothing here"
  ok "the type comes from the installed package, and the magic rule is the sized header's own"

  if command -v gio >/dev/null; then
    for f in sized.vrs rect.vrs sized-no-extension; do
      got=$("${desktop_env[@]}" gio info -a standard::content-type "$samples/$f" 2>/dev/null |
        sed -n 's/^ *standard::content-type: //p')
      [[ $got == image/x-vrscreen ]] || fail "gio (GLib's type detection) gives '$got' for $f"
    done
    ok "gio, which GLib file managers use, agrees"
  else
    log "note: gio is not installed (libglib2.0-bin); GLib's detection not checked"
  fi
}

# A direct install (no DESTDIR) refreshes the MIME cache itself.
check_direct_install() {
  local direct="$WORK/direct"
  cmake --install "$BUILD_DIR" --prefix "$direct" >"$WORK/install-direct.log" 2>&1 ||
    fail "cmake --install --prefix failed: $(tail -n5 "$WORK/install-direct.log")"
  [[ -f $direct/share/mime/mime.cache && -f $direct/share/mime/image/x-vrscreen.xml ]] ||
    fail "a direct install did not update its MIME database"
  ok "a direct install updates the prefix's MIME database"
}

case $mode in
  desktop)
    check_desktop
    check_file_type
    check_direct_install
    ;;
  programs) source "$(dirname "$0")/check_programs.sh" ;;
  thumbnailer) source "$(dirname "$0")/check_thumbnailer.sh" ;;
esac
rm -rf "$WORK"
log "passed"
exit 0
