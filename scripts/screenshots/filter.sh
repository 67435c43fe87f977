#!/usr/bin/env bash
# Makes docs/screenshots/filter.png: under Xvfb the built program opens a card file made from
# samples/password-tools.json, Ctrl+K goes to the quick filter and "alice" is typed; ImageMagick's
# import takes the main window with the filtered tree.
# Usage: scripts/screenshots/filter.sh [BUILD_DIR] [OUTPUT]   (defaults: build, docs/screenshots/filter.png)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$top/build}" && pwd)
out=$(realpath -m "${2:-$top/docs/screenshots/filter.png}")
if [ -z "${TESSAREL_SCREENSHOT_INSIDE:-}" ]; then
    TESSAREL_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$BUILD" "$out"
fi
source "$top/scripts/screenshots/common.sh"

start_program
xdotool key --window "$window" ctrl+k
sleep 0.3
xdotool type --delay 80 'alice'
sleep 1
mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "$out"
