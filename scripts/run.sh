#!/usr/bin/env bash
# Builds the window and starts it: no tests, benchmarks or Windows builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target tarnwick
exec ./build/src/tarnwick "$@"
