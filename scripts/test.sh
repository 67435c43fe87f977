#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build's suite, a regression
# pass of the fuzz targets over their seed corpora, and the whole suite again under ASan + UBSan.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS
phase() { echo "== $1 ($((SECONDS - start)) s since start)"; }

# Every test must run here: one that lacks what it needs (wine, the MinGW cross compiler, the right
# to mount) fails with the reason instead of skipping unnoticed.
export TESSAREL_TESTS_MUST_RUN=1

phase "install"
"$top/scripts/install-deps.sh"
phase "layering check"
python3 "$top/scripts/check-layers.py"
phase "build"
"$top/scripts/build.sh"
phase "tests"
(cd "$top/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)")
phase "fuzz regression"
"$top/scripts/fuzz-regression.sh"
phase "tests under ASan + UBSan"
"$top/scripts/test-sanitized.sh"
# Last: it installs the package on this machine for a moment (apt-get), then removes it.
phase "Debian package: build, lintian, install, try, remove"
"$top/scripts/test-package.sh"
phase "done"
