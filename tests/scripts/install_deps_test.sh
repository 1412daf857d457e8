#!/usr/bin/env bash
# scripts/install-deps.sh against stand-in apt-get, dpkg and dpkg-query first
# on PATH: `apt-get update` fails as on a mirror in mid-sync, and apt refuses
# the packages in REFUSE. The real system is neither read nor changed.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\n[ -n "$INSTALLED" ] && printf "install ok installed"\n' >"$work/bin/dpkg-query"
cat >"$work/bin/apt-get" <<'STANDIN'
#!/bin/bash
echo "$*" >>"$CALLS"
if [ "$1" = update ]; then
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    exit 100
fi
for p; do
    case " $REFUSE " in *" $p "*)
        printf ' %s : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed\n' "$p"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    esac
done
STANDIN
chmod +x "$work/bin"/*

# run <refused packages> [installed]: sets out (stdout and stderr), rc, calls.
run() {
    : >"$work/calls"
    rc=0
    out=$(REFUSE=$1 INSTALLED=${2:-} CALLS=$work/calls PATH="$work/bin:$PATH" bash "$script" 2>&1) || rc=$?
    calls=$(cat "$work/calls")
}
fail() { printf 'FAIL: %s\nexit %s, output:\n%s\napt-get calls:\n%s\n' "$1" "$rc" "$out" "$calls"; exit 1; }

run "wine32:i386"
[ "$rc" = 0 ] || fail "mirror in mid-sync, wine32 refused: must exit 0"
grep -q "Mirror sync in progress?" <<<"$out" || fail "apt's failing update line not shown"
[ "$(grep -c "the 32-bit Wine tests will be skipped" <<<"$out")" = 1 ] &&
    grep -q "wine32:i386 : Depends: libwine:i386.*skipped" <<<"$out" || fail "not one skip line with apt's reason"
[ "$(sed -n 3p <<<"$calls")" = "install -y -qq --no-install-recommends wine32:i386" ] &&
    sed -n 2p <<<"$calls" | grep -q " wine64 " || fail "wine32:i386 not in a step of its own after the rest"
echo "ok: mirror in mid-sync and wine32:i386 refused: exit 0, one skip line"

run "wine64"
[ "$rc" != 0 ] && grep -q "^ wine64 : Depends" <<<"$out" || fail "another package refused: must fail with apt's message"
echo "ok: another package refused: exit $rc with apt's message"

run "" installed
[ "$rc" = 0 ] && [ -z "$out$calls" ] || fail "everything installed: silent, apt not run"
echo "ok: everything installed: silent, apt not run"
