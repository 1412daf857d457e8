#!/usr/bin/env bash
# With TMPDIR set, as libpam-tmpdir sets it at every login, no Wine process
# sees it (Debian 13's Wine 10 aborts on it), while the tests' own files go
# where it says. Each Wine start of a prefix set-up, a program run and a
# registry query goes through a recorder that notes whether TMPDIR reached
# it; the program run is cmd printing its environment.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
work=$(mktemp -d) || exit 1
# This test's own prefix, copied from the shared template the wine fixture made.
export QUILLORA_WINE_TEMPLATE QUILLORA_WINEPREFIX=$work/prefix WINEPREFIX=$work/prefix
trap '"$here/wine-prefix.sh" teardown >/dev/null 2>&1; rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

mkdir "$work/bin" "$work/tmp"
# The recorder expands TMPDIR when it runs, not here.
# shellcheck disable=SC2016
recorder() {
    printf '#!/bin/sh\necho "%s ${TMPDIR+TMPDIR=$TMPDIR}" >>"%s"\nexec "%s" "$@"\n' \
        "$1" "$work/starts" "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
recorder wine64 "$WINE64"
recorder wine "$WINE32"
recorder wineserver "$WINESERVER"
recorder loader "$QUILLORA_WINE_LOADER"
# The Wine loader also starts the wineserver that WINESERVER names.
export WINE64=$work/bin/wine64 WINE32=$work/bin/wine WINESERVER=$work/bin/wineserver
export QUILLORA_WINE_LOADER=$work/bin/loader
export TMPDIR=$work/tmp

# The tests' files follow TMPDIR: the default prefix and template are there.
defaults=$(unset QUILLORA_WINEPREFIX QUILLORA_WINE_TEMPLATE
    . "$here/wine-env.sh" && echo "$WINEPREFIX" && echo "$QUILLORA_WINE_TEMPLATE")
while read -r path; do
    case "$path" in "$TMPDIR"/*) ;; *) fail "$path is not under TMPDIR ($TMPDIR)" ;; esac
done <<<"$defaults"

"$here/wine-prefix.sh" setup >"$work/setup.log" 2>&1 || fail "prefix set-up: $(cat "$work/setup.log")"
environment=$("$here/wine-run.sh" cmd /c set 2>/dev/null | tr -d '\r')
grep -q '^WINEPREFIX=' <<<"$environment" || fail "cmd printed no environment"
if grep -q '^TMPDIR=' <<<"$environment"; then
    fail "a Windows program sees $(grep '^TMPDIR=' <<<"$environment")"
fi
wine_reg query 'HKCU\Software\Wine\WineBrowser' >/dev/null 2>&1 || fail "reg query failed"
"$here/wine-prefix.sh" teardown

for start in wine64 wineserver loader; do
    grep -q "^$start " "$work/starts" || fail "no start of $start was recorded"
done
if grep -q 'TMPDIR=' "$work/starts"; then
    fail "Wine started with TMPDIR: $(grep 'TMPDIR=' "$work/starts" | sort | uniq -c)"
fi
[ "$failed" = 0 ] && echo "ok: $(wc -l <"$work/starts") Wine starts, none with TMPDIR"
exit "$failed"
