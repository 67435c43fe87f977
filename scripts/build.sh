#!/usr/bin/env bash
# Configures and builds everything into build/ (binaries in build/bin/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build --parallel "$(nproc)"
