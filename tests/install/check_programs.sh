# SPDX-License-Identifier: MIT
# install_test.sh programs: the installed binaries, run from the prefix, and
# the manual pages against what the programs say of themselves.
# Sourced by install_test.sh (PREFIX, SHARE, WORK, fail, ok).

for program in vrsview vrstool; do
  [[ -x $PREFIX/bin/$program ]] || fail "$program is not installed in $PREFIX/bin"
done
ok "vrsview and vrstool installed in bin"
tryexec=$(sed -n 's/^TryExec=//p' "$SHARE/applications/$APP.desktop")
[[ -x $PREFIX/bin/$tryexec ]] || fail "the desktop entry's TryExec '$tryexec' is not an installed program"

version=$("$PREFIX/bin/vrstool" --version 2>&1) || fail "vrstool --version failed: $version"
[[ $version == *"$VRS_VERSION"* ]] || fail "vrstool --version says '$version', the project is $VRS_VERSION"
for page in vrsview vrstool; do
  grep -q "^\.TH .*\"vrsview $VRS_VERSION\"" "$SHARE/man/man1/$page.1" ||
    fail "$page.1 does not carry the version $VRS_VERSION"
done
ok "vrstool --version and the manual pages say $VRS_VERSION"

"$MAKE_SAMPLE" 64 48 "$WORK/sample.vrs" || fail "make-sample failed"
info=$("$PREFIX/bin/vrstool" info "$WORK/sample.vrs" 2>&1) || fail "the installed vrstool info failed: $info"
[[ $info == *64* && $info == *48* ]] || fail "vrstool info does not give the size 64 x 48: $info"
ok "the installed vrstool reads a file"

# Every option that vrstool's help names is in its manual page.
page_text=$(sed 's/\\-/-/g' "$SHARE/man/man1/vrstool.1")
for command in "" info convert thumbnail; do
  help=$("$PREFIX/bin/vrstool" $command --help 2>&1) || fail "vrstool $command --help failed"
  options=$(grep -oE '(^|[][ (|,])--?[a-zA-Z][a-zA-Z-]*' <<<"$help" | sed 's/^[][ (|,]//' | sort -u)
  for option in $options; do
    grep -qF -- "$option" <<<"$page_text" || fail "vrstool $command --help names $option, vrstool.1 does not"
  done
  [[ -z $command ]] || grep -q "^\.B vrstool $command" <<<"$page_text" || fail "vrstool.1 has no synopsis of $command"
done
ok "vrstool.1 covers every command and option of vrstool --help"
