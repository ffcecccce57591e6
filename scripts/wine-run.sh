#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the project's own prefix,
# creating the prefix on first use. WINEPREFIX may be set by the caller.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/win32/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
"$top/scripts/wine-prefix.sh"
exec wine "$@"
