#!/usr/bin/env bash
# Builds the two Windows release packages:
#   dist/quillora-<version>-x86.zip  (mingw-i686)
#   dist/quillora-<version>-x64.zip  (mingw-x86_64)
# each holding Quillora.exe, mailtoprobe.exe and README.txt for Windows users.
# Each build makes its package (scripts/make-package.sh) and tests the
# programs in it under Wine; this copies those very zips to dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Quillora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }
mkdir -p dist

package() { # package <preset> <arch>
    local preset=$1 arch=$2
    local name=quillora-$version-$arch
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target quillora_package
    local zip=build/$preset/package/$name.zip
    [ -f "$zip" ] || { echo "package: $zip was not made" >&2; exit 1; }
    cp "$zip" "dist/$name.zip"
    echo "dist/$name.zip:"
    unzip -l "dist/$name.zip" | sed -e 1,3d -e '/^-----/,$d'
}

package mingw-i686 x86
package mingw-x86_64 x64
