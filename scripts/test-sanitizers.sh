#!/usr/bin/env bash
# Builds every target and test with AddressSanitizer + UBSan (the "asan" preset) and runs the
# whole ctest suite under it. Leak checking stays on: a leak in our code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh

cmake --preset asan >/dev/null
cmake --build --preset asan

# Qt keeps a few process-lifetime allocations (fontconfig caches, the offscreen platform
# plugin's singletons); they are suppressed by name so our own leaks still fail the run.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
ctest --preset asan
