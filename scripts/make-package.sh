#!/usr/bin/env bash
# make-package.sh <Quillora.exe> <mailtoprobe.exe> <README template> <version> <arch> <zip>
# Makes one release package from programs already built: quillora-<version>-<arch>/
# holding the two programs and the Windows users' README (placeholders
# filled, Windows line ends), every entry dated SOURCE_DATE_EPOCH (default:
# the last commit), so the same programs always give the same zip.
# The Windows builds run it (cmake/Package.cmake); their Wine tests run the
# programs unpacked from that zip, and scripts/package.sh copies it to dist/.
set -euo pipefail
[ $# = 6 ] || { echo "usage: $0 <Quillora.exe> <mailtoprobe.exe> <README> <version> <arch> <zip>" >&2; exit 2; }
quillora=$1 probe=$2 readme=$3 version=$4 arch=$5 zip=$6
source_dir=$(cd "$(dirname "$0")/.." && pwd)

name=quillora-$version-$arch
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$quillora" "$stage/$name/Quillora.exe"
cp "$probe" "$stage/$name/mailtoprobe.exe"
# Windows line ends for Notepad, and UTF-8's byte order mark, without which
# Notepad before Windows 10 1903 reads the text in the ANSI code page.
{
    printf '\357\273\277'
    sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$arch/g" -e 's/$/\r/' "$readme"
} >"$stage/$name/README.txt"
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || date +%s)}
touch -d "@$epoch" "$stage/$name" "$stage/$name"/*

mkdir -p "$(dirname "$zip")"
zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")
rm -f "$zip"
(cd "$stage" && zip -X -q -r "$zip" "$name")
