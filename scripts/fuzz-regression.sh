#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each once over its seed corpus: a
# regression pass of a few seconds that fails when any committed input makes a target crash,
# leak or trip a sanitizer. Long fuzzing runs are done by hand (fuzz/README.md).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSAREL_FUZZ_BUILD:-$top/build-fuzz}
targets=(fuzz_cardfile fuzz_filecrypt_decrypt fuzz_stub_archive fuzz_ipc_frames fuzz_cli_import fuzz_exchange_import fuzz_sealed_cardfile)

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja \
  -DTESSAREL_BUILD_FUZZ=ON -DTESSAREL_BUILD_TESTS=OFF -DTESSAREL_BUILD_BENCH=OFF \
  -DTESSAREL_BUILD_GUI=OFF -DTESSAREL_SKIP_LAYERS="framework;app;mainframe;views;resources;cli"
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
failed=0
for target in "${targets[@]}"; do
  corpus="$top/fuzz/corpus/$target"
  count=$(find "$corpus" -type f | wc -l)
  # -runs=0 reads every input of the folder once and stops; nothing is written to the corpus.
  if "$build/bin/$target" -runs=0 -timeout=30 -rss_limit_mb=2048 "$corpus" >"$build/$target.regression.log" 2>&1; then
    echo "fuzz regression: $target: $count inputs ok"
  else
    echo "fuzz regression: $target FAILED (log follows)"
    tail -n 60 "$build/$target.regression.log"
    failed=1
  fi
done
exit "$failed"
