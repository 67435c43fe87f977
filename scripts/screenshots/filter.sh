#!/usr/bin/env bash
# Makes docs/screenshots/filter.png: under Xvfb the built program opens a card file made from
# samples/password-tools.json, Ctrl+K goes to the quick filter and "alice" is typed; ImageMagick's
# import takes the main window with the filtered tree.
# Usage: scripts/screenshots/filter.sh [BUILD_DIR] [OUTPUT]   (defaults: build, docs/screenshots/filter.png)
set -euo pipefail
picture=filter
# shellcheck source=scripts/screenshots/common.sh
source "$(dirname "$0")/common.sh" "$@"

start_program
xdotool key --window "$window" ctrl+k
sleep 0.3
xdotool type --delay 80 'alice'
sleep 1
take_picture "$window"
