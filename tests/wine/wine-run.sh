#!/usr/bin/env bash
# Runs a Windows program under wine64 in this run's prefix, with a timeout:
# a Wine call can stall (a message box after a browser launch once took 10 s).
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
[ -f "$WINEPREFIX/system.reg" ] || "$here/wine-prefix.sh" setup || exit 1
exec timeout -k 5 "${QUILLORA_WINE_TIMEOUT:-120}" "$WINE64" "$@"
