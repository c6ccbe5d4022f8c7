#!/usr/bin/env bash
# Builds everything and runs every test: the normal (debug) build, then the
# AddressSanitizer/UndefinedBehaviorSanitizer build, then the bounded fuzz
# run and the benchmark smoke runs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

export ORVANE_WERROR="${ORVANE_WERROR:-ON}"
jobs="$(nproc)"

for preset in debug asan; do
    echo "=== $preset build ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
scripts/fuzz.sh

# Each benchmark runs briefly in the release build: a check that they still
# run. Figures from so short a run mean little; the README's come from full runs.
echo "=== benchmark smoke runs (release build) ==="
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target benchmark-smoke
