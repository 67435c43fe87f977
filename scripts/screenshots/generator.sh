#!/usr/bin/env bash
# Makes docs/screenshots/generator.png, the picture of the password generator: under Xvfb the
# built program opens a card file made from samples/password-tools.json, Card > Generate Password…
# is chosen from the keyboard as a person would, and ImageMagick's import takes the dialog. The
# program runs with a private home, so the generator shows its default options every time.
# Usage: scripts/screenshots/generator.sh [BUILD_DIR] [OUTPUT]   (defaults: build, docs/screenshots/generator.png)
set -euo pipefail
picture=generator
# shellcheck source=scripts/screenshots/common.sh
source "$(dirname "$0")/common.sh" "$@"

start_program
# Alt+C opens the Card menu, G is Generate Password's key.
xdotool key --window "$window" alt+c
sleep 0.5
xdotool key g
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Generate Password$' | head -n 1)
sleep 1
take_picture "$dialog"
