#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (default 30 s), from
# its committed seed corpus. Fails when any target crashes, leaks or trips an invariant.
# Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
ROOT=$PWD
BUILD=$ROOT/build-fuzz

./scripts/deps.sh
source scripts/build-cache.sh
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQORNC_BUILD_FUZZ=ON -DQORNC_BUILD_TESTS=OFF -DQORNC_WERROR=ON "${CACHE_ARGS[@]}" >/dev/null
TARGETS=(fuzz_notification fuzz_info_cfg fuzz_list_cfg fuzz_server_framing)
cmake --build "$BUILD" -j2 --target "${TARGETS[@]}"

status=0
for target in "${TARGETS[@]}"; do
  # New inputs go to a scratch folder, so the committed seeds stay a handful of files.
  work=$(mktemp -d)
  echo "== $target: ${SECONDS_EACH}s"
  if (cd "$work" && "$BUILD/tests/fuzz/$target" -max_total_time="$SECONDS_EACH" -max_len=4096 \
        -timeout=10 -print_final_stats=1 "$work" "$ROOT/tests/fuzz/corpus/$target" >"$work/log" 2>&1); then
    grep -E '^(Done|stat::number_of_executed_units)' "$work/log" || true
  else
    status=1
    tail -n 40 "$work/log"
    mkdir -p "$BUILD/crashes/$target"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$BUILD/crashes/$target/" 2>/dev/null || true
    echo "!! $target failed; reproducer kept in $BUILD/crashes/$target/" >&2
  fi
  rm -rf "$work"
done
exit $status
