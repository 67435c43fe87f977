#!/usr/bin/env bash
# Makes docs/screenshots/report.png: under Xvfb the built program opens a card file made from
# samples/password-tools.json and shows Card > Password Report..., which ImageMagick's import takes.
# Usage: scripts/screenshots/report.sh [BUILD_DIR] [OUTPUT]   (defaults: build, docs/screenshots/report.png)
set -euo pipefail
picture=report
# shellcheck source=scripts/screenshots/common.sh
source "$(dirname "$0")/common.sh" "$@"

start_program
# Through the menu, as a person would: Alt+C opens the Card menu, R is Password Report's key.
xdotool key --window "$window" alt+c
sleep 0.5
xdotool key r
report=$(timeout 30 xdotool search --sync --onlyvisible --name '^Password Report$' | head -n 1)
sleep 1
take_picture "$report"
