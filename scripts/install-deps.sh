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
case $mode in
demo) packages=("${demo[@]}") ;;
all)
    packages=("${demo[@]}" libgtest-dev googletest python3 clang libclang-rt-dev
              g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
              binutils-mingw-w64-x86-64 wine64 zip unzip)
    # The 32-bit side of Wine runs the i686 programs; it needs the i386
    # architecture. A machine that cannot add it still runs everything else.
    if dpkg --print-foreign-architectures | grep -qx i386; then
        packages+=(wine32:i386)
    elif dpkg --add-architecture i386 2>/dev/null; then
        echo "install-deps: added the i386 architecture for Wine's 32-bit side (wine32:i386)"
        packages+=(wine32:i386)
    fi
    ;;
*)
    echo "usage: $0 [all|demo]" >&2
    exit 2
    ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "install-deps: apt-get failed" >&2
    exit 1
fi
