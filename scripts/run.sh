#!/usr/bin/env bash
# Builds Install_Fotelix.exe and starts it under Wine. With a display the
# program opens there; without one it runs on its own virtual screen and a
# screenshot of every page it shows is saved. Where this machine cannot run
# 32-bit programs, the 64-bit build of the same sources runs instead
# (scripts/wine-arch.sh decides; FX_WINE_ARCH=win32|win64 forces either).
# FX_DPI=144 takes the screenshots as a screen of that density shows the
# pages.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

./scripts/bootstrap.sh
windows=$(./scripts/wine-arch.sh)
echo "run: $(./scripts/wine-arch.sh --explain)"
export FX_WINE_ARCH=$windows
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  WINEPREFIX="$top/build/run/prefix-$windows" exec ./scripts/wine-run.sh "build/$windows/bin/Install_Fotelix.exe" "$@"
fi

shots="$top/build/screenshots"
rm -rf "$shots"
/usr/bin/python3 tests/e2e/harness.py screenshots "$shots" ${FX_DPI:+"$FX_DPI"}
echo "screenshots saved in $shots"
