#!/usr/bin/env bash
# Builds Install_Fotelix.exe and starts it under Wine. With a display the
# program opens there; without one it runs on its own virtual screen and a
# screenshot of every page it shows is saved.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

./scripts/bootstrap.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  WINEPREFIX="$top/build/run/prefix" exec ./scripts/wine-run.sh build/win32/bin/Install_Fotelix.exe "$@"
fi

shots="$top/build/screenshots"
rm -rf "$shots"
/usr/bin/python3 tests/e2e/harness.py screenshots "$shots"
echo "screenshots saved in $shots"
