#!/usr/bin/env bash
# mailto-handler.sh register <recorder.exe> <saved.reg> | remove | restore <saved.reg>
# The program that Wine's ShellExecuteExW starts for mailto: links
# (HKCR\mailto\shell\open\command, in the registry view of the kind of
# program QUILLORA_WINE_BITS picks). register saves Wine's own mailto key to
# <saved.reg> (the first time only) and names the recorder with the URL as
# its one argument; remove deletes the key, so no handler is registered;
# restore puts the saved key back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
key='HKCR\mailto'
case "${1:-}" in
register)
    recorder=$(windows_path "$2")
    save_key "$key" "$3" once
    reg add "$key" /v "URL Protocol" /t REG_SZ /d "" /f &&
    reg add "$key\\shell\\open\\command" /ve /t REG_SZ /d "\"$recorder\" \"%1\"" /f
    ;;
remove)
    reg delete "$key" /f
    true
    ;;
restore)
    restore_key "$key" "$2"
    ;;
*)
    echo "usage: $0 register <recorder.exe> <saved.reg> | remove | restore <saved.reg>" >&2
    exit 2
    ;;
esac
