#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the packages scripts/package made (build/package/*.deb) into this
# machine with apt, checks that they work as a user meets them, removes them
# and checks that nothing is left: the programs, the file type, the loaders
# cache, the desktop database. First each reader package alone, with what it
# depends on and nothing it recommends (as on a server or in a container),
# opening a capture through it; then all of them. Needs root (or sudo);
# refuses to run while one of the packages is installed already, since its
# removal would not be this test's to make.
set -euo pipefail
cd "$(dirname "$0")/../.."
packages=(vrs-common vrsview qt6-image-formats-plugin-vrs qt5-image-formats-plugin-vrs vrs-pixbuf-loader python3-vrscreen)
sample=$PWD/fuzz/corpus/loader/good-sized-16-7x5.vrs
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
fail() {
  echo "package test: FAIL: $*" >&2
  exit 1
}
debs=()
for p in "${packages[@]}"; do
  debs+=(build/package/"${p}"_*.deb)
done
for d in "${debs[@]}"; do
  [[ -f $d ]] || fail "$d is missing: run scripts/package first"
done
for p in "${packages[@]}"; do
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true) != installed ]] ||
    fail "$p is installed already"
done
moduledir=$(pkg-config --variable=gdk_pixbuf_moduledir gdk-pixbuf-2.0)
cache=$(pkg-config --variable=gdk_pixbuf_cache_file gdk-pixbuf-2.0)
query=$(pkg-config --variable=gdk_pixbuf_query_loaders gdk-pixbuf-2.0)
work=$(mktemp -d)
remove() {
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq "${packages[@]}" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap remove EXIT

apt_install() {  # apt_install DEB... (with their dependencies, without recommends)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${@/#/./}" >/dev/null
}
installed() { [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true) == installed ]]; }
content_type() { gio info -a standard::content-type "$1" | awk '/content-type/ { print $2 }'; }

# Each reader alone: the file type comes with it, and a capture opens through
# it as the programs that tell files by their type open it (Gwenview, file
# managers: Qt's MIME database; GdkPixbuf chooses its loader by the type).
for qt in 6 5; do
  g++ -std=c++17 -fPIC tests/install/read_capture.cpp $(pkg-config --cflags --libs Qt${qt}Gui) \
    -o "$work/read_qt$qt" || fail "could not build the Qt $qt reader"
done
for p in qt6-image-formats-plugin-vrs qt5-image-formats-plugin-vrs vrs-pixbuf-loader; do
  apt_install build/package/vrs-common_*.deb build/package/"${p}"_*.deb
  ! installed vrsview || fail "installing $p alone installed vrsview"
  [[ $(content_type "$sample") == image/x-vrscreen ]] || fail "with $p alone the file type of $sample is not image/x-vrscreen"
  case $p in
    qt*) qt=${p:2:1}
         read=$(QT_QPA_PLATFORM=offscreen "$work/read_qt$qt" "$sample") || fail "a Qt $qt program with $p alone could not read $sample"
         [[ $read == "image/x-vrscreen 7x5" ]] || fail "a Qt $qt program with $p alone read: $read" ;;
    *) gdk-pixbuf-thumbnailer -s 128 "$sample" "$work/alone.png" || fail "gdk-pixbuf-thumbnailer with $p alone failed" ;;
  esac
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq "$p" vrs-common >/dev/null
  echo "package test: $p alone opens a capture"
done

apt_install "${debs[@]}"
for p in "${packages[@]}"; do
  dpkg -L "$p" >>"$work/files"
done

# The programs, as installed.
version=$(QT_QPA_PLATFORM=offscreen vrsview --version)
[[ $version == *1.0.0* ]] || fail "vrsview --version said: $version"
vrstool thumbnail -s 64 "$sample" "$work/thumb.png"
[[ $(head -c 8 "$work/thumb.png" | od -An -tx1 | xargs) == "89 50 4e 47 0d 0a 1a 0a" ]] ||
  fail "vrstool thumbnail wrote no PNG"
# The loader is in gdk-pixbuf's cache (its trigger ran) and a fresh query.
grep -q libpixbufloader-vrs.so "$cache" || fail "the loaders cache does not name the vrs loader"
"$query" | grep -q '"image/x-vrscreen"' || fail "gdk-pixbuf-query-loaders does not list vrs"
# The file type is known (the MIME trigger ran), so GdkPixbuf programs open it.
[[ $(content_type "$sample") == image/x-vrscreen ]] ||
  fail "the file type of $sample is not image/x-vrscreen"
gdk-pixbuf-thumbnailer -s 128 "$sample" "$work/pixbuf-thumb.png" || fail "gdk-pixbuf-thumbnailer failed"
grep -q 'org.vrsview.vrsview.desktop' /usr/share/applications/mimeinfo.cache ||
  fail "the desktop database does not know the viewer"
# The Python module in Debian's interpreter, away from the source tree: the
# project's version, and the pictures vrstool makes.
cat >"$work/module_test.py" <<'PY'
import sys
import numpy
import vrscreen
import vrscreen.pillow
from PIL import Image
sample, thumbnail, version = sys.argv[1:]
assert vrscreen.__file__.startswith("/usr/lib/python3/dist-packages/"), vrscreen.__file__
assert vrscreen.__version__ == version, vrscreen.__version__
picture = vrscreen.read(sample)
assert picture.shape == (5, 7, 3), picture.shape
assert numpy.array_equal(numpy.asarray(Image.open(sample)), picture)
assert numpy.array_equal(numpy.asarray(Image.open(thumbnail).convert("RGB")),
                         vrscreen.thumbnail(sample, 64))
PY
(cd "$work" && env -u PYTHONPATH /usr/bin/python3 module_test.py "$sample" thumb.png \
  "$(dpkg-query -W -f='${Version}' python3-vrscreen)") ||
  fail "the Python module does not read $sample as vrstool does"
echo "package test: installed and working"

# Removed: no file of theirs, no trace in the caches.
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq "${packages[@]}" >/dev/null
while read -r f; do
  [[ -f $f ]] && fail "$f is left after removal"
done <"$work/files"
! grep -q libpixbufloader-vrs.so "$cache" || fail "the loaders cache still names the vrs loader"
[[ ! -e /usr/share/mime/image/x-vrscreen.xml ]] || fail "the MIME database still knows image/x-vrscreen"
! grep -q 'org.vrsview.vrsview.desktop' /usr/share/applications/mimeinfo.cache ||
  fail "the desktop database still names the viewer"
[[ -z $(ls "$moduledir" | grep vrs || true) ]] || fail "a vrs loader is left in $moduledir"
echo "package test: removed cleanly"
