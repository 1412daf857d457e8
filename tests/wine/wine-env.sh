# Shared settings for running Windows programs under wine64. Sourced by the
# scripts beside it.
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
QUILLORA_WINE_TEMPLATE=${QUILLORA_WINE_TEMPLATE:-${TMPDIR:-/tmp}/quillora-wine-template-$(id -u)}
export WINEPREFIX=${QUILLORA_WINEPREFIX:-${TMPDIR:-/tmp}/quillora-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs when a prefix boots.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
