#!/usr/bin/env bash
# Makes docs/main-window.png, the README's picture of the main window: under Xvfb, the built
# program (build/bin, see scripts/build.sh) opens a card file that tessarel-cli makes from
# samples/sample.json, and ImageMagick's import takes the window. Run it again after the look
# of the program changes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${TESSAREL_BIN:-$top/build/bin}
out=${1:-$top/docs/main-window.png}

if [ -z "${TESSAREL_SCREENSHOT_INSIDE:-}" ]; then
    TESSAREL_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$out"
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
# A private home: no settings, recent files or registration of the user's own.
mkdir -m 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM

"$bin/tessarel-cli" import "$top/samples/sample.json" "$work/Sample.qdf"
"$bin/tessarel" /Embedding /dde "$work/Sample.qdf" &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Sample.qdf')
# The first card of the first category, chosen as a person would: the tree has the focus.
xdotool key --window "$window" Home Right Down
sleep 1
import -window "$window" "$out"
echo "$out"
