#!/usr/bin/env bash
# mail-provider.sh register <provider.dll> | unregister
# Names the MAPI provider that Wine's MAPI32.DLL forwards Extended and Simple
# MAPI to (HKLM\Software\Clients\Mail, in the registry view of the kind of
# program QUILLORA_WINE_BITS picks: a 32-bit MAPI32 reads
# HKLM\Software\Wow6432Node\Clients\Mail). Wine reads it when MAPI32 loads, so
# set it before the program starts. Unregistering gives the default back to
# Wine's own client ("Native Mail Client", winemapi.dll), whose Simple MAPI
# hands a mailto: URL to the desktop; with no default at all, Wine's
# MAPISendMail only shows a "no mail client" box.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
key='HKLM\Software\Clients\Mail'
case "${1:-}" in
register)
    dll=$(windows_path "$2")
    reg add "$key" /ve /t REG_SZ /d Mailsim /f &&
    reg add "$key\\Mailsim" /v DLLPathEx /t REG_SZ /d "$dll" /f &&
    reg add "$key\\Mailsim" /v DLLPath /t REG_SZ /d "$dll" /f
    ;;
unregister)
    reg delete "$key\\Mailsim" /f
    if reg query "$key\\Native Mail Client" /v DLLPath; then
        reg add "$key" /ve /t REG_SZ /d "Native Mail Client" /f
    else
        reg delete "$key" /ve /f
        true
    fi
    ;;
*)
    echo "usage: $0 register <provider.dll> | unregister" >&2
    exit 2
    ;;
esac
