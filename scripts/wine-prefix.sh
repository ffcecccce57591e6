#!/usr/bin/env bash
# Makes sure that the 32-bit Wine prefix $WINEPREFIX exists and has Wine's
# own fonts. Debian's Wine does not find the fonts of the fonts-wine package
# by itself and falls back to a much wider substitute for "MS Sans Serif",
# which cuts the pages' texts; fonts in C:\windows\Fonts are always found.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No runtime or browser engine is wanted: their install prompts would hang a headless run.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver --wait
fi
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ ! -f "$fonts/sserife.fon" ]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/"
fi
