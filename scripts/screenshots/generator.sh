#!/usr/bin/env bash
# Makes docs/screenshots/generator.png, the picture of the password generator: under Xvfb the
# built program opens a card file made from samples/sample.json, Card > Generate Password… is
# chosen from the keyboard as a person would, and ImageMagick's import takes the dialog.
# Usage: scripts/screenshots/generator.sh BUILD_DIR [OUTPUT.png]. Run it again after the look of
# the dialog changes; the generator starts from its default options every time.
set -euo pipefail
[ -n "${TESSAREL_SCREENSHOT_TRACE:-}" ] && set -x
top=$(cd "$(dirname "$0")/../.." && pwd)
if [ $# -lt 1 ]; then
    echo "usage: $0 BUILD_DIR [OUTPUT.png]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
out=${2:-$top/docs/screenshots/generator.png}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

if [ -z "${TESSAREL_SCREENSHOT_INSIDE:-}" ]; then
    TESSAREL_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$out"
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
# A private home: no settings (so the default options show), recent files or registration.
mkdir -m 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM

"$build/bin/tessarel-cli" import "$top/samples/sample.json" "$work/Sample.qdf"
"$build/bin/tessarel" /Embedding /dde "$work/Sample.qdf" &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Sample.qdf' | head -n 1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
# Card menu, then its Generate Password… entry.
xdotool key --window "$window" alt+c
sleep 0.5
xdotool key g
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^Generate Password$' | head -n 1)
sleep 1
import -window "$dialog" "$out"
echo "$out"
