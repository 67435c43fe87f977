# Shared by the screenshot scripts: runs the calling script again under Xvfb, gives the program a
# private home, makes a card file from samples/password-tools.json with the built tessarel-cli and
# starts the built program on it. Sourced with BUILD (the build folder) set.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin="$BUILD/bin"
for program in tessarel tessarel-cli; do
    [ -x "$bin/$program" ] || { echo "no $bin/$program: build first (cmake --build $BUILD)" >&2; exit 1; }
done

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
