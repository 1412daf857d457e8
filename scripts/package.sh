#!/usr/bin/env bash
# Ships the two Windows release packages:
#   dist/quillora-<version>-x86.zip  (mingw-i686)
#   dist/quillora-<version>-x64.zip  (mingw-x86_64)
# each holding Quillora.exe, mailtoprobe.exe and README.txt for Windows users.
# Each build makes its package (cmake/Package.cmake) and tests the programs in
# it under Wine; this copies those very zips to dist/, configuring a build
# that does not exist yet and bringing its package up to date first.
#
#   scripts/package.sh [--no-build]
#
# --no-build: take the zips the builds already made (scripts/test-all.sh,
# right after building and testing them).
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
case ${1:-} in
"") ;;
--no-build) build=0 ;;
*) echo "usage: $0 [--no-build]" >&2; exit 2 ;;
esac
mkdir -p dist

package() { # package <preset> <arch>
    local preset=$1 arch=$2 dir=build/$1
    if [ $build = 1 ]; then
        [ -f "$dir/build.ninja" ] || cmake --preset "$preset" >/dev/null
        cmake --build "$dir" -j2 --target quillora_package
    fi
    # The version the build was configured with: project() in CMakeLists.txt.
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt" 2>/dev/null) || true
    [ -n "$version" ] || { echo "package: $dir is not configured" >&2; exit 1; }
    local name=quillora-$version-$arch
    local zip=$dir/package/$name.zip
    [ -f "$zip" ] || { echo "package: $zip was not made" >&2; exit 1; }
    cp "$zip" "dist/$name.zip"
    echo "dist/$name.zip:"
    unzip -l "dist/$name.zip" | sed -e 1,3d -e '/^-----/,$d'
}

package mingw-i686 x86
package mingw-x86_64 x64
