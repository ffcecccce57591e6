#!/usr/bin/env bash
# Makes sure that the Wine prefix $WINEPREFIX exists, for the architecture
# that scripts/wine-arch.sh chooses, and has Wine's own fonts. Debian's Wine
# does not find the fonts of the fonts-wine package by itself and falls back
# to a much wider substitute for "MS Sans Serif", which cuts the pages'
# texts; fonts in C:\windows\Fonts are always found.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_env=$("$top/scripts/wine-arch.sh" --env)
while IFS='=' read -r name value; do export "$name=$value"; done <<<"$wine_env"
export WINEDEBUG=${WINEDEBUG:--all}
# No runtime or browser engine is wanted: their install prompts would hang a headless run.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$WINELOADER" wineboot --init >/dev/null 2>&1
  wineserver --wait
fi
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ ! -f "$fonts/sserife.fon" ]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/"
fi
