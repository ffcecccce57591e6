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
exec "$WINELOADER" "$@"
