#!/usr/bin/env bash
# scripts/install-deps.sh against stand-in apt-get, dpkg and dpkg-query first
# on PATH: `apt-get update` fails as it did on a mirror in mid-sync, and apt
# refuses the packages named in REFUSE. Nothing on this system is read or
# changed, so it runs as any user.
set -euo pipefail
script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat >"$work/bin/dpkg" <<'STANDIN'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
STANDIN
cat >"$work/bin/dpkg-query" <<'STANDIN'
#!/bin/sh
[ -n "${INSTALLED:-}" ] && printf 'install ok installed'
STANDIN
cat >"$work/bin/apt-get" <<'STANDIN'
#!/bin/bash
echo "$*" >>"$CALLS"
if [ "$1" = update ]; then
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 151.101.2.132 80]"
    echo "   Hashes of expected file:"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
fi
for p; do
    case " $REFUSE " in *" $p "*)
        echo "The following packages have unmet dependencies:"
        echo " $p : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    esac
done
STANDIN
chmod +x "$work/bin"/*

# run <REFUSE> [INSTALLED]: sets out (stdout and stderr), rc and calls.
run() {
    : >"$work/calls"
    rc=0
    out=$(REFUSE=$1 INSTALLED=${2:-} CALLS=$work/calls PATH="$work/bin:$PATH" \
          bash "$script" 2>&1) || rc=$?
    calls=$(cat "$work/calls")
}
fail() {
    printf 'FAIL: %s\n  exit %s; output:\n%s\n  apt-get calls:\n%s\n' "$1" "$rc" "$out" "$calls"
    exit 1
}

run "wine32:i386"
[ "$rc" = 0 ] || fail "mid-sync mirror, wine32 refused: must exit 0"
grep -q "Mirror sync in progress?" <<<"$out" || fail "apt's failing update line not shown"
skips=$(grep -c "the 32-bit Wine tests will be skipped" <<<"$out") || true
[ "$skips" = 1 ] || fail "expected one line saying the 32-bit Wine tests will be skipped"
grep "skipped" <<<"$out" | grep -q "wine32:i386 : Depends: libwine:i386" ||
    fail "the skip line does not say why (apt's unmet dependency)"
sed -n 2p <<<"$calls" | grep -q " wine64 " || fail "the other packages were not installed"
[ "$(sed -n 3p <<<"$calls")" = "install -y -qq --no-install-recommends wine32:i386" ] ||
    fail "wine32:i386 not installed in a step of its own"
echo "ok: mirror in mid-sync and wine32:i386 refused: exit 0, one skip line"

run "wine64"
[ "$rc" != 0 ] || fail "another package refused: must fail"
grep -q "^ wine64 : Depends" <<<"$out" || fail "apt's message for the refused package not shown"
echo "ok: another package refused: exit $rc with apt's message"

run "" installed
[ "$rc" = 0 ] && [ -z "$out" ] && [ -z "$calls" ] || fail "everything installed: apt must not run"
echo "ok: everything installed: silent, apt not run"
