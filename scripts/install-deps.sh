#!/usr/bin/env bash
# Installs what building and testing Quillora needs on Debian, as root, only
# when something is missing. Safe to run again.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev googletest nlohmann-json3-dev python3
          libssl-dev clang libclang-rt-14-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
          binutils-mingw-w64-x86-64 wine64 zip unzip)
# The 32-bit side of Wine runs the i686 programs; it needs the i386
# architecture. A machine that cannot add it still runs everything else.
if dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 2>/dev/null; then
    packages+=(wine32:i386)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
