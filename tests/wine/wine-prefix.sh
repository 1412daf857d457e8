#!/usr/bin/env bash
# wine-prefix.sh setup|teardown
#   setup: make the template prefix once (about 6 s), copy it into this run's
#          prefix (about 3 s) and start a persistent wineserver, so that each
#          later Wine start takes a fraction of a second; then Wine's system
#          processes are started detached from any caller's output.
#          The template is a win64 prefix, which with Wine's 32-bit side
#          installed is WoW64 and runs both kinds of program. A template made
#          before that side was installed (no syswow64) is made again.
#   teardown: stop the wineserver of this run's prefix.
# QUILLORA_WINE_BITS picks the run's prefix and loader (see wine-env.sh).
set -u
. "$(dirname "$0")/wine-env.sh"
case "${1:-}" in
setup)
    exec 9>"$QUILLORA_WINE_TEMPLATE.lock"
    flock 9
    if ! wine_prefix_ready "$QUILLORA_WINE_TEMPLATE"; then
        [ -d "$QUILLORA_WINE_TEMPLATE" ] && echo "wine prefix template without 32-bit side: made again"
        WINEPREFIX=$QUILLORA_WINE_TEMPLATE wine_start "$WINESERVER" -k >/dev/null 2>&1
        rm -rf "$QUILLORA_WINE_TEMPLATE"
        WINEPREFIX=$QUILLORA_WINE_TEMPLATE wine_start timeout 120 "$WINE64" wineboot -i >/dev/null 2>&1
        WINEPREFIX=$QUILLORA_WINE_TEMPLATE wine_start timeout 60 "$WINESERVER" -w
        wine_prefix_ready "$QUILLORA_WINE_TEMPLATE" || { echo "wine prefix template failed" >&2; exit 1; }
    fi
    wine_start "$WINESERVER" -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    cp -a "$QUILLORA_WINE_TEMPLATE" "$WINEPREFIX"
    wine_start "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&-
    # Per-user settings, shared by both kinds of program, so that a run
    # depends on nothing the machine has beside Wine:
    # - A run with WINEDEBUG=+relay traces the message box calls only: the
    #   end-to-end runner reads the caption and text the real MessageBoxA got.
    # - winebrowser hands URLs to xdg-open and mail to xdg-email, looked up on
    #   PATH, rather than to the first of its built-in list that exists
    #   (/usr/bin/open comes before xdg-email where xdg-utils is installed).
    settings="$WINEPREFIX/quillora-settings.reg"
    cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="user32.MessageBoxA;user32.MessageBoxW"

[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="xdg-open"
"Mailers"="xdg-email"
REG
    wine_start timeout 60 "$WINE64" reg import "$(windows_path "$settings")" </dev/null >/dev/null 2>&1 9>&- ||
        { echo "wine prefix settings failed" >&2; exit 1; }
    rm -f "$settings"
    # The first program in a prefix starts Wine's system processes (services,
    # winedevice, rpcss ...), which inherit its standard handles and live as
    # long as the wineserver. Start them here on /dev/null, so they never
    # hold a test's output pipe open and make the test wait for the teardown.
    wine_start timeout 60 "$QUILLORA_WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    ;;
teardown)
    wine_start "$WINESERVER" -k >/dev/null 2>&1
    exit 0
    ;;
*)
    echo "usage: $0 setup|teardown" >&2
    exit 2
    ;;
esac
