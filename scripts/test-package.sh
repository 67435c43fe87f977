#!/usr/bin/env bash
# Builds the Debian package and tries it the way a user gets it: lintian on the package;
# apt-get install; from /usr/bin a tessarel-cli round trip and the program started offscreen
# until idle; desktop-file-validate and appstreamcli on the installed files; under Xvfb the
# program started from its desktop entry and a card file opened as a file manager opens it
# (gio open); and apt-get remove at the end, whatever happened.
#
# The build goes to build-package/ (TESSAREL_PACKAGE_BUILD) with Debian's hardening flags and
# only the three programs. Needs root or sudo for apt-get. Installs nothing when a package
# called tessarel is installed already.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSAREL_PACKAGE_BUILD:-$top/build-package}
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
step() { echo "== $1"; }

# Under Xvfb (see the end): start the program from the desktop entry, open a card file through
# the desktop's association, and see the file in the program's window.
if [ "${1:-}" = --open-through-desktop-entry ]; then
    card=$2
    shot=$3
    gio launch /usr/share/applications/tessarel.desktop
    # The program started from the menu shows its main window, titled "Tessarel".
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tessarel$' | head -n 1)
    pid=$(xdotool getwindowpid "$window")
    echo "started from the desktop entry: process $pid, window \"$(xdotool getwindowname "$window")\""
    gio open "$card"
    name=$(basename "$card")
    # The file opens in that program, whose caption then names it.
    opened=
    for _ in $(seq 1 60); do
        opened=$(xdotool search --all --onlyvisible --pid "$pid" --name "$name" 2>/dev/null | head -n 1) || true
        [ -n "$opened" ] && break
        sleep 0.5
    done
    status=0
    if [ -n "$opened" ]; then
        echo "after gio open: window \"$(xdotool getwindowname "$opened")\" of process $pid"
    else
        echo "the file did not open in the running program" >&2
        status=1
    fi
    import -window root "$shot" || true
    kill "$pid"
    exit $status
fi

step "build ($build)"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CFLAGS CXXFLAGS LDFLAGS
# Given as cache values, not only through the environment, so that a configured build-package/
# takes changed flags too.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_C_FLAGS="$CFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
      -DTESSAREL_BUILD_TESTS=OFF -DTESSAREL_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)" \
      --target tessarel tessarel-cli tessarel-browserd tessarel-xdg-files tessarel_compressed_docs

step "package"
rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -G DEB
deb=$(echo "$build"/package/tessarel_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

step "lintian"
# Errors and warnings fail; overrides are explained in packaging/debian/lintian-overrides.
lintian --info --display-info --pedantic --fail-on error,warning "$deb"

if dpkg-query -W -f '${Status}' tessarel 2>/dev/null | grep -q 'ok installed'; then
    echo "a package tessarel is installed already; not touching it" >&2
    exit 1
fi
step "install"
work=$(mktemp -d)
cleanup() {
    step "remove"
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 remove --purge -y -q tessarel || true
    rm -rf "$work"
}
trap cleanup EXIT
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "$deb"
for program in tessarel tessarel-cli tessarel-browserd; do
    [ "$(command -v "$program")" = /usr/bin/$program ] || { echo "$program is not /usr/bin/$program" >&2; exit 1; }
    "/usr/bin/$program" --version
done

step "round trip with /usr/bin/tessarel-cli"
/usr/bin/tessarel-cli import "$top/samples/sample.json" "$work/sample.qdf"
/usr/bin/tessarel-cli export "$work/sample.qdf" > "$work/exported.json"
/usr/bin/tessarel-cli import "$work/exported.json" "$work/again.qdf"
cmp "$work/sample.qdf" "$top/samples/sample.qdf"
cmp "$work/sample.qdf" "$work/again.qdf"
/usr/bin/tessarel-cli ls "$work/again.qdf"

step "the program offscreen until idle"
mkdir -m 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_DATA_DIRS
QT_QPA_PLATFORM=offscreen TESSAREL_EXIT_WHEN_IDLE=1 timeout 120 /usr/bin/tessarel /Embedding
# The installed desktop entry and MIME types serve: no per-user copies.
for copy in applications/tessarel.desktop mime/packages/tessarel.xml; do
    if [ -e "$HOME/.local/share/$copy" ]; then echo "per-user copy written: $copy" >&2; exit 1; fi
done
echo "no per-user copies under $HOME/.local/share"

step "validators"
desktop-file-validate /usr/share/applications/tessarel.desktop
echo "desktop-file-validate: no remarks"
appstreamcli validate --no-net --pedantic /usr/share/metainfo/example.corvale.tessarel.metainfo.xml
gio mime application/x-quendal-document
man -w tessarel tessarel-cli tessarel-browserd

step "a card file opened through the installed desktop entry (Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --open-through-desktop-entry "$work/sample.qdf" "$build/opened-through-desktop-entry.png"
echo "screen: $build/opened-through-desktop-entry.png"
