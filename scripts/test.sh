#!/usr/bin/env bash
# Builds everything and runs every test: the core, the Qt layer offscreen, the reference server.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh
source scripts/build-cache.sh

BUILD=${QORNC_TEST_BUILD:-build-test}
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DQORNC_WERROR=ON -DQORNC_BUILD_TESTS=ON "${CACHE_ARGS[@]}"
cmake --build "$BUILD" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Tests that need the fixed ports hold a CTest resource lock, so they run one at a time.
ctest --test-dir "$BUILD" -j"$(nproc)" --output-on-failure --timeout 300

# The fuzzers run a bounded time each from their seed corpora, then the whole suite runs again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
./scripts/fuzz.sh "${QORNC_FUZZ_SECONDS:-20}"
./scripts/test-sanitizers.sh
