# shellcheck shell=bash
# Shared settings for running Windows programs under Wine. Sourced by the
# scripts beside it.
#
# QUILLORA_WINE_BITS (64 or 32, default 64) says which kind of program runs:
# it picks the loader (wine64, or wine for i686 programs) and the registry
# view that the programs of that kind read (a 32-bit program's
# HKLM\Software is HKLM\Software\Wow6432Node, and HKCR is redirected the same
# way). QUILLORA_WINE_LOADER and QUILLORA_WINE_REG_VIEW override the two.
#
# Where that loader cannot run (no wine32, or a kernel without 32-bit
# support), sourcing this file prints one line saying why and ends the script
# with QUILLORA_WINE_SKIP (77), which CTest reports as a skipped test.
QUILLORA_WINE_BITS=${QUILLORA_WINE_BITS:-64}

# wine_start <command...>: runs a command that starts Wine (a loader,
# wineserver, or timeout around one) without TMPDIR. Debian 13's Wine 10
# aborts ("free(): invalid pointer") when TMPDIR is set, to any value, and
# libpam-tmpdir sets it at every login. Only Wine goes without it: the tests'
# own files (mktemp, prefixes, the template) still go where it says.
wine_start() {
    env -u TMPDIR "$@"
}

# The loaders by their paths: the two sides of one Wine installation, which
# no command on PATH picks between (Debian's wine64 package puts neither on
# it).
case "$QUILLORA_WINE_BITS" in
64) QUILLORA_WINE_LOADER=${QUILLORA_WINE_LOADER:-/usr/lib/wine/wine64} ;;
32) QUILLORA_WINE_LOADER=${QUILLORA_WINE_LOADER:-/usr/lib/wine/wine} ;;
*)
    echo "QUILLORA_WINE_BITS must be 64 or 32, not '$QUILLORA_WINE_BITS'" >&2
    exit 2
    ;;
esac
QUILLORA_WINE_REG_VIEW=${QUILLORA_WINE_REG_VIEW:-$QUILLORA_WINE_BITS}
QUILLORA_WINE_SKIP=77
# The 64-bit loader also runs Wine's own tools (wineboot) for the prefix.
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINE32=${WINE32:-/usr/lib/wine/wine}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
QUILLORA_WINE_TEMPLATE=${QUILLORA_WINE_TEMPLATE:-${TMPDIR:-/tmp}/quillora-wine-template-$(id -u)}
# One prefix per kind of program, so that both builds' tests can run at once.
export WINEPREFIX=${QUILLORA_WINEPREFIX:-${TMPDIR:-/tmp}/quillora-wine$QUILLORA_WINE_BITS-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs when a prefix boots.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes the Windows locale and code pages from the Unix locale: one
# fixed locale (en-US, code page 1252, UTF-8 file names) whatever the machine's.
export LC_ALL=C.UTF-8
unset LANGUAGE
# No display, whatever the desktop: Wine then loads no graphics driver, so a
# message box cannot be made and MessageBoxA returns at once instead of
# waiting for a click (the end-to-end runner reads its caption and text from
# the relay trace). Wine's null driver would make the window and wait.
unset DISPLAY WAYLAND_DISPLAY
export WINEARCH=win64

# wine32_usable: true when Wine's 32-bit side is installed and this kernel
# runs it (its loader is a 32-bit program itself).
wine32_usable() {
    [ -x "$WINE32" ] && wine_start "$WINE32" --version >/dev/null 2>&1
}

# wine_prefix_ready <prefix>: booted, and able to run 32-bit programs
# (syswow64) whenever this machine can.
wine_prefix_ready() {
    [ -f "$1/system.reg" ] || return 1
    [ -d "$1/drive_c/windows/syswow64" ] || ! wine32_usable
}

# wine_reg <reg arguments...>: Wine's reg in the registry view of this kind
# of program; its output goes where the caller sends it. The view is that of
# a reg of the same bitness rather than reg's /reg:32 switch: a 32-bit
# process sees HKCR merged from both views, /reg:32 only the redirected half.
wine_reg() {
    local loader=$WINE64
    [ "$QUILLORA_WINE_REG_VIEW" = 32 ] && loader=$WINE32
    wine_start timeout 60 "$loader" reg "$@"
}

# reg <arguments...>: wine_reg, quietly, for the scripts that set keys.
reg() { wine_reg "$@" >/dev/null 2>&1; }

# save_key <key> <saved.reg> [once]: exports the key to <saved.reg>, or
# leaves an empty file when there is no such key; with once, only when
# nothing is saved there yet.
save_key() {
    [ "${3:-}" = once ] && [ -s "$2" ] && return 0
    reg export "$1" "$(windows_path "$2")" /y || : >"$2"
}

# restore_key <key> <saved.reg>: the key as save_key found it.
restore_key() {
    reg delete "$1" /f
    if [ -s "$2" ]; then reg import "$(windows_path "$2")"; fi
    true
}

# A host path as Windows programs see it: Z:\ followed by the absolute path.
windows_path() {
    local p
    p="Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
    printf '%s' "${p//\//\\}"
}

if [ ! -x "$QUILLORA_WINE_LOADER" ]; then
    echo "SKIP: $QUILLORA_WINE_BITS-bit Windows programs cannot run here: no $QUILLORA_WINE_LOADER (is wine$([ "$QUILLORA_WINE_BITS" = 32 ] && echo 32:i386 || echo 64) installed?)"
    exit "$QUILLORA_WINE_SKIP"
fi
# Through bash: glibc's execvp (env's) hands a program the kernel
# refuses to sh, whose syntax error hides the kernel's "Exec format error".
if ! why=$(wine_start bash -c '"$@"' _ "$QUILLORA_WINE_LOADER" --version 2>&1 >/dev/null); then
    why=${why##*$'\n'}
    why=${why##*cannot execute binary file: }
    echo "SKIP: $QUILLORA_WINE_BITS-bit Windows programs cannot run here: $QUILLORA_WINE_LOADER does not start: ${why:-no reason given} (this kernel may not run $QUILLORA_WINE_BITS-bit code)"
    exit "$QUILLORA_WINE_SKIP"
fi
