#!/usr/bin/env bash
# Builds everything with AddressSanitizer + UndefinedBehaviorSanitizer into build-asan/ and runs the
# whole test suite there. Any sanitizer report fails the test that caused it: ASan and UBSan stop
# the process at the first fault, and LeakSanitizer checks every test process at exit.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSAREL_ASAN_BUILD:-$top/build-asan}

# Set before the build too: the build lists each test binary's tests by running it.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside third-party libraries only; scripts/lsan-suppressions.txt says why each is there.
export LSAN_OPTIONS=suppressions=$top/scripts/lsan-suppressions.txt:print_suppressions=0
export QT_QPA_PLATFORM=offscreen

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAREL_SANITIZE=ON -DTESSAREL_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)"
