#!/usr/bin/env bash
# mail-client.sh set <name> <DLLPathEx> <DLLPath> <saved.reg> | restore <saved.reg>
# Makes <name> the default mail client (HKLM\Software\Clients\Mail, in the
# registry view of the kind of program QUILLORA_WINE_BITS picks) with the
# libraries given: a path sets the value, "" deletes it, "-" leaves it as it
# is. set saves the whole key to <saved.reg> first; restore puts it back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
key='HKLM\Software\Clients\Mail'
case "${1:-}" in
set)
    save_key "$key" "$5"
    reg add "$key" /ve /t REG_SZ /d "$2" /f || exit 1
    reg add "$key\\$2" /ve /t REG_SZ /d "$2" /f || exit 1
    for value in "DLLPathEx=$3" "DLLPath=$4"; do
        name=${value%%=*} path=${value#*=}
        case "$path" in
        -) ;;
        "") reg delete "$key\\$2" /v "$name" /f || true ;;
        *) reg add "$key\\$2" /v "$name" /t REG_SZ /d "$path" /f || exit 1 ;;
        esac
    done
    ;;
restore)
    restore_key "$key" "$2"
    ;;
*)
    echo "usage: $0 set <name> <DLLPathEx> <DLLPath> <saved.reg> | restore <saved.reg>" >&2
    exit 2
    ;;
esac
