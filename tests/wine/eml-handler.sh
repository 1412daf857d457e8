#!/usr/bin/env bash
# eml-handler.sh register <recorder.exe> <saved.reg> | remove | restore <saved.reg>
# The program that Wine's ShellExecuteExW starts for .eml files: HKCR\.eml
# names a ProgID whose shell\open\command runs the recorder with the file's
# path, in the registry view of the kind of program QUILLORA_WINE_BITS picks.
# register saves Wine's own .eml key to <saved.reg> (the first time only)
# and drops a per-user association the desktop may have made; remove
# deletes the association, so none is registered; restore puts the saved
# key back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
key='HKCR\.eml'
progid='Quillora.RecordedDraft'
case "${1:-}" in
register)
    recorder=$(windows_path "$2")
    save_key "$key" "$3" once
    reg delete 'HKCU\Software\Classes\.eml' /f
    reg add "$key" /ve /t REG_SZ /d "$progid" /f &&
    reg add "HKCR\\$progid\\shell\\open\\command" /ve /t REG_SZ /d "\"$recorder\" \"%1\"" /f
    ;;
remove)
    reg delete 'HKCU\Software\Classes\.eml' /f
    reg delete "$key" /f
    true
    ;;
restore)
    reg delete "HKCR\\$progid" /f
    restore_key "$key" "$2"
    ;;
*)
    echo "usage: $0 register <recorder.exe> <saved.reg> | remove | restore <saved.reg>" >&2
    exit 2
    ;;
esac
