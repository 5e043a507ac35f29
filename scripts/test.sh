#!/usr/bin/env bash
# Builds Tarnwick and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j"$(nproc)"
bash scripts/sanitize-and-fuzz.sh
# Installing a package is for CI machines, not a side effect on a developer's one.
if [[ -n ${CI:-} || ${TARNWICK_PACKAGE_TEST:-} == 1 ]]; then
    bash scripts/package-test.sh
fi
