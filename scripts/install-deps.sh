#!/usr/bin/env bash
# Installs what Quillora needs on Debian (12 or 13), as root, only when
# something is missing. Safe to run again.
#
#   scripts/install-deps.sh [all|demo]
#
# all (default): building and testing every preset. demo: only what the
# native Quillora and the simulated client need (scripts/demo.sh).
# Only Debian's default-version packages are named, so the same list holds
# on both releases.
set -euo pipefail
mode=${1:-all}
demo=(cmake ninja-build g++ nlohmann-json3-dev libssl-dev)
# The 32-bit side of Wine runs the i686 programs only; without it those
# tests skip and everything else still runs, so it never fails the install.
wine32=()
case $mode in
demo) packages=("${demo[@]}") ;;
all)
    packages=("${demo[@]}" libgtest-dev googletest python3 clang libclang-rt-dev
              g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
              binutils-mingw-w64-x86-64 wine64 zip unzip)
    if dpkg --print-foreign-architectures | grep -qx i386; then
        wine32=(wine32:i386)
    elif dpkg --add-architecture i386 2>/dev/null; then
        echo "install-deps: added the i386 architecture for Wine's 32-bit side (wine32:i386)"
        wine32=(wine32:i386)
    else
        echo "install-deps: wine32:i386 cannot be installed (dpkg cannot add the i386 architecture): the 32-bit Wine tests will be skipped" >&2
    fi
    ;;
*)
    echo "usage: $0 [all|demo]" >&2
    exit 2
    ;;
esac
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#wine32[@]} -gt 0 ] && installed "${wine32[0]}"; then
    wine32=()
fi
wanted=("${missing[@]}" "${wine32[@]}")
[ ${#wanted[@]} -gt 0 ] || exit 0
echo "install-deps: installing ${wanted[*]}"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# A mirror in mid-sync fails one index or another; the lists apt already
# has (or got) usually still hold everything.
if ! apt-get update -qq >"$log" 2>&1; then
    echo "install-deps: warning: apt-get update failed; installing from the package lists apt has:" >&2
    grep '^[EW]:' "$log" >&2 || cat "$log" >&2
fi
apt_install() {
    apt-get install -y -qq --no-install-recommends "$@" >"$log" 2>&1
}
if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
    cat "$log" >&2
    echo "install-deps: apt-get failed" >&2
    exit 1
fi
# Its own step: when the i386 lists lag behind the amd64 ones, it alone
# cannot be resolved.
if [ ${#wine32[@]} -gt 0 ] && ! apt_install "${wine32[@]}"; then
    # apt's most telling line: the package's own unmet dependency, else its error.
    why=$(grep -m1 "^ *${wine32[0]} :" "$log" || grep -m1 '^E:' "$log" || tail -n1 "$log") || true
    why=$(printf '%s' "$why" | sed 's/^ *//; s/^E: //')
    echo "install-deps: ${wine32[0]} cannot be installed (${why:-apt-get failed}): the 32-bit Wine tests will be skipped" >&2
fi
