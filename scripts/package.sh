#!/usr/bin/env bash
# Builds the two Windows release packages:
#   dist/quillora-<version>-x86.zip  (mingw-i686)
#   dist/quillora-<version>-x64.zip  (mingw-x86_64)
# each holding Quillora.exe, mailtoprobe.exe and README.txt for Windows users.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Quillora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
mkdir -p dist

package() { # package <preset> <arch>
    local preset=$1 arch=$2
    local build=build/$preset
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target Quillora mailtoprobe

    local name=quillora-$version-$arch
    local stage
    stage=$(mktemp -d)
    mkdir "$stage/$name"
    for program in front/Quillora.exe probe/mailtoprobe.exe; do
        [ -f "$build/$program" ] || { echo "package: $build/$program was not built" >&2; exit 1; }
        cp "$build/$program" "$stage/$name/"
    done
    # Windows line ends for Notepad.
    sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e 's/$/\r/' \
        packaging/README-windows.txt >"$stage/$name/README.txt"
    touch -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}" \
        "$stage/$name" "$stage/$name"/*

    rm -f "dist/$name.zip"
    (cd "$stage" && zip -X -q -r "$OLDPWD/dist/$name.zip" "$name")
    rm -rf "$stage"
    echo "dist/$name.zip:"
    unzip -l "dist/$name.zip" | sed -e 1,3d -e '/^-----/,$d'
}

package mingw-i686 x86
package mingw-x86_64 x64
