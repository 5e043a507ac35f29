#!/usr/bin/env bash
# Builds Tarnwick and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
exec ./build/src/tarnwick "$@"
