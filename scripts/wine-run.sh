#!/usr/bin/env bash
# Runs a Windows program under the Wine that scripts/wine-arch.sh chooses, in
# the project's prefix for that architecture, creating the prefix on first
# use. WINEPREFIX may be set by the caller.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine_env=$("$top/scripts/wine-arch.sh" --env)
while IFS='=' read -r name value; do export "$name=$value"; done <<<"$wine_env"
export WINEPREFIX=${WINEPREFIX:-$top/build/$FX_WINE_ARCH/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$top/scripts/wine-prefix.sh"

# Windows programs want a screen, the tests of real windows most of all:
# without a display the program gets a private Xvfb for its run, and the
# prefix's Wine processes end with it rather than outlive their screen.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c \
    '"$WINELOADER" "$@"; code=$?; wineserver -k 2>/dev/null; exit $code' wine-run "$@"
fi
exec "$WINELOADER" "$@"
