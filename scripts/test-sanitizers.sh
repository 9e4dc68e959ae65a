#!/usr/bin/env bash
# Builds every target and test with AddressSanitizer + UBSan (the "asan" preset) and runs the
# whole ctest suite under it. Leak checking stays on: a leak in our code fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/deps.sh

cmake --preset asan >/dev/null
cmake --build --preset asan

ctest --preset asan
