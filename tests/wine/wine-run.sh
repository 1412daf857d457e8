#!/usr/bin/env bash
# Runs a Windows program under Wine in this run's prefix, with the loader that
# QUILLORA_WINE_BITS picks (see wine-env.sh), and a timeout: a Wine call can
# stall (a message box after a browser launch once took 10 s).
# The program writes into files that are copied out once it has ended: a Wine
# process it starts (a system process, a browser) may inherit its descriptors
# and outlive it, and must never keep the caller's pipes open.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
wine_prefix_ready "$WINEPREFIX" || "$here/wine-prefix.sh" setup >&2 || exit 1
out=$(mktemp) && err=$(mktemp) || exit 1
wine_start timeout -k 5 "${QUILLORA_WINE_TIMEOUT:-120}" "$QUILLORA_WINE_LOADER" "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit "$status"
