#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and
# tests every preset once (native-fuzz runs each fuzz target for a bounded
# time), and ships the packages the Windows builds made and tested.
# Non-interactive and safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
presets=(native native-asan native-fuzz mingw-i686 mingw-x86_64)
for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done
# The demo's unity build joins sources that the presets compile apart: a
# name two files both define only shows there.
echo "== demo (unity build)"
cmake --preset demo >/dev/null
cmake --build --preset demo
echo "== release packages"
scripts/package.sh --no-build
python3 tests/pe/check_packages.py
echo "== all presets built and tested, packages made"
# What the Windows builds' Wine tests proved here, by the very check each of
# those tests makes before it runs (tests/wine/wine-env.sh).
for preset in mingw-i686:32 mingw-x86_64:64; do
    if said=$(QUILLORA_WINE_BITS=${preset#*:} && . tests/wine/wine-env.sh &&
              echo "$QUILLORA_WINE_LOADER"); then
        echo "${preset%:*}: Wine tests ran and passed, under $said"
    else
        echo "${preset%:*}: Wine tests skipped: ${said#SKIP: }"
    fi
done
