#!/usr/bin/env bash
# The core and ui tests once more under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a minute of fuzzing the whole path of a book (libFuzzer, when clang is there).
# Called by scripts/test.sh after its main test run; FUZZ_SECONDS changes the minute.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_SANITIZE=ON \
      -DTARNWICK_BUILD_GUI=OFF -DTARNWICK_BUILD_BENCH=OFF -DTARNWICK_WINE_TESTS=OFF
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

if ! command -v clang++ >/dev/null; then
    echo "sanitize-and-fuzz: no clang++, no fuzzing" >&2
    exit 0
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DTARNWICK_FUZZ=ON -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_GUI=OFF -DTARNWICK_BUILD_BENCH=OFF \
      -DTARNWICK_WINE_TESTS=OFF
cmake --build build-fuzz -j"$jobs" --target tarnwick_fuzz_book
# The fixtures are the seeds; what earlier runs found in this build folder is kept.
mkdir -p build-fuzz/corpus build-fuzz/findings
cp tests/fixtures/*.dxl tests/fixtures/*.xml tests/fixtures/*.nsf build-fuzz/corpus/
build-fuzz/tests/fuzz/tarnwick_fuzz_book -dict=tests/fuzz/dxl.dict -max_total_time="${FUZZ_SECONDS:-60}" \
    -timeout=60 -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ \
    build-fuzz/corpus
