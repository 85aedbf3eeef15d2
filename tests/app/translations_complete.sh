#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every tr() text of the viewer, and every text of the core's catalogue of
# refusals (VRS_TRANSLATE_NOOP), has its German translation: lupdate run over
# the sources onto a copy of translations/vrsview_de.ts leaves nothing
# unfinished. To bring the file up to date after changing texts:
#   cmake --build --preset default --target update_translations
# then translate what is marked unfinished (Qt Linguist, or by hand).
#   translations_complete.sh LUPDATE SOURCE_DIR
set -euo pipefail
lupdate=$1 root=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/translations/vrsview_de.ts" "$work/vrsview_de.ts"
"$lupdate" -no-obsolete -locations none -tr-function-alias QT_TRANSLATE_NOOP+=VRS_TRANSLATE_NOOP \
  -I "$root/src" "$root/src/app" "$root/src/view" "$root/src/vrscreen/load_error.cpp" \
  -ts "$work/vrsview_de.ts" >"$work/log" 2>&1 ||
  { cat "$work/log" >&2; exit 1; }
grep -q 'Found [1-9][0-9]* source text' "$work/log" || { echo "lupdate found no texts:" >&2; cat "$work/log" >&2; exit 1; }
if grep -q 'cannot be called without context' "$work/log"; then
  echo "tr() calls lupdate cannot place (use Class::tr or QCoreApplication::translate):" >&2
  grep 'without context' "$work/log" >&2
  exit 1
fi
unfinished=$(grep -c 'type="unfinished"' "$work/vrsview_de.ts" || true)
if ((unfinished > 0)); then
  echo "$unfinished text(s) without a German translation:" >&2
  grep -B2 'type="unfinished"' "$work/vrsview_de.ts" | grep '<source>' >&2
  exit 1
fi
echo "$(grep -o 'Found [0-9]* source text' "$work/log"), all translated into German"
