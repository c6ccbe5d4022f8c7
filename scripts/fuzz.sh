#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz (library and target
# instrumented with AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# the reply parser fuzzer for a bounded time over a copy of the seed corpus,
# so the repository stays clean. FUZZ_SECONDS sets the time (default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
build=build/fuzz
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"

echo "=== fuzz build ==="
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVANE_WERROR="${ORVANE_WERROR:-ON}" \
    -DORVANE_BUILD_FUZZ=ON \
    -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_TESTAPP=OFF -DORVANE_BUILD_TOOLS=OFF -DORVANE_BUILD_BENCH=OFF \
    "-DCMAKE_C_FLAGS=$flags" "-DCMAKE_CXX_FLAGS=$flags" \
    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j "$(nproc)" --target ResponseParseFuzzer

corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus/"
mkdir -p "$build/artifacts"

echo "=== fuzzing the reply parsers for ${seconds}s ==="
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
"$build/fuzz/ResponseParseFuzzer" "$corpus" \
    -dict=fuzz/reply.dict \
    -max_total_time="$seconds" \
    -max_len=8192 \
    -timeout=20 \
    -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/" \
    -print_final_stats=1
