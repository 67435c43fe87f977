# shellcheck shell=bash
# Shared by the screenshot scripts, which source it with their own arguments ([BUILD_DIR]
# [OUTPUT]) after setting `picture` (the name of their picture in docs/screenshots). It checks the
# build, runs the calling script again under Xvfb, gives the program a private home, makes a card
# file from samples/password-tools.json with the built tessarel-cli and starts the built program
# on it; `take_picture` stores a window as the picture.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$(cd "${1:-$top/build}" && pwd)
out=$(realpath -m "${2:-$top/docs/screenshots/$picture.png}")
bin="$BUILD/bin"
for program in tessarel tessarel-cli; do
    [ -x "$bin/$program" ] || { echo "no $bin/$program: build first (cmake --build $BUILD)" >&2; exit 1; }
done
# The script itself ($0, not this file) runs again on a display of its own.
if [ -z "${TESSAREL_SCREENSHOT_INSIDE:-}" ]; then
    TESSAREL_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$BUILD" "$out"
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
unset QT_QPA_PLATFORM

# Starts the program on the sample file and sets `window` to its main window.
start_program() {
    "$bin/tessarel-cli" import "$top/samples/password-tools.json" "$work/Passwords.qdf"
    "$bin/tessarel" /Embedding /dde "$work/Passwords.qdf" &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Passwords.qdf' | head -n 1)
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    sleep 1
}

# Stores window $1 as the picture (ImageMagick's import) and names the file made.
take_picture() {
    mkdir -p "$(dirname "$out")"
    import -window "$1" "$out"
    echo "$out"
}
