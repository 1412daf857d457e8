#!/usr/bin/env bash
# eml-handler.sh register <recorder.exe> <saved> | remove | restore <saved>
# The program that Wine's ShellExecuteA starts for .eml files: HKCR\.eml
# names a ProgID whose shell\open\command runs it (in the registry view of
# the kind of program QUILLORA_WINE_BITS picks). register saves Wine's own
# keys to <saved>.*.reg (the first time only), deletes the user's own .eml
# class (HKCU\Software\Classes\.eml, which would come first) and names the
# recorder with the file as its one argument; remove deletes the
# association, so no program is registered; restore puts the saved keys back.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
reg() { wine_reg "$@" >/dev/null 2>&1; }
keys=('HKCR\.eml' 'HKCU\Software\Classes\.eml' 'HKCR\QuilloraTest.Draft')
forget() {
    for key in "${keys[@]}"; do reg delete "$key" /f; done
    true
}
case "${1:-}" in
register)
    recorder=$(windows_path "$2")
    for i in 0 1 2; do
        saved="$3.$i.reg"
        [ -e "$saved" ] || reg export "${keys[$i]}" "$(windows_path "$saved")" /y || : >"$saved"
    done
    forget
    reg add 'HKCR\.eml' /ve /t REG_SZ /d QuilloraTest.Draft /f &&
    reg add 'HKCR\QuilloraTest.Draft\shell\open\command' /ve /t REG_SZ /d "\"$recorder\" \"%1\"" /f
    ;;
remove)
    forget
    ;;
restore)
    forget
    for i in 0 1 2; do
        if [ -s "$2.$i.reg" ]; then reg import "$(windows_path "$2.$i.reg")"; fi
    done
    true
    ;;
*)
    echo "usage: $0 register <recorder.exe> <saved> | remove | restore <saved>" >&2
    exit 2
    ;;
esac
