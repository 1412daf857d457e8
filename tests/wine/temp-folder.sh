#!/usr/bin/env bash
# temp-folder.sh set <windows path> <saved.reg> | restore <saved.reg>
# Makes <windows path> the user's temporary folder (TEMP and TMP in
# HKCU\Environment, which Wine puts in every program's environment as it
# starts). set saves the key to <saved.reg> first; restore puts it back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
key='HKCU\Environment'
case "${1:-}" in
set)
    save_key "$key" "$3"
    reg add "$key" /v TEMP /t REG_SZ /d "$2" /f || exit 1
    reg add "$key" /v TMP /t REG_SZ /d "$2" /f || exit 1
    ;;
restore)
    restore_key "$key" "$2"
    ;;
*)
    echo "usage: $0 set <windows path> <saved.reg> | restore <saved.reg>" >&2
    exit 2
    ;;
esac
