#!/usr/bin/env bash
# Shows the control gallery under Wine on a private Xvfb screen, with a
# progressive JPEG made by ImageMagick, and saves a screenshot of the screen.
# Usage: screenshot.sh fx_gallery.exe shot.png
set -euo pipefail
gallery=$1
shot=$2
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(dirname "$shot")
mkdir -p "$work"
export WINEPREFIX=${WINEPREFIX:-$(dirname "$gallery")/../gallery-wineprefix}

convert -size 300x330 gradient:'#3060c0'-'#f0c060' -fill '#206030' \
  -draw 'polygon 0,330 0,250 80,210 160,260 230,200 300,240 300,330' \
  -interlace Plane -quality 90 "$work/gallery-picture.jpg"

# Xvfb picks a free display and tells its number through the pipe.
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true' EXIT
read -r -t 20 display <&"$fd"
export DISPLAY=:$display

# Wine's Z: drive is the Linux root. A Wine desktop gives the window a title bar.
windows_path() { local p="Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; echo "${p//\//\\}"; }
"$top/scripts/wine-run.sh" explorer /desktop=gallery,800x600 "$(windows_path "$gallery")" \
  "$(windows_path "$work/gallery-picture.jpg")" --close-after 12000 &
app=$!
for _ in $(seq 1 60); do
  sleep 0.5
  if xdotool search --name "Fotelix control gallery" >/dev/null 2>&1; then break; fi
done
# Long enough for the window to paint and the words to drift a little.
sleep 4
import -display ":$display" -window root "$shot"
wait "$app"
echo "screenshot: $shot"
