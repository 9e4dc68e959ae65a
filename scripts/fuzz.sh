#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (default 30 s), from
# its committed seed corpus, as many at once as there are cores. Fails when any target crashes,
# leaks or trips an invariant.
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

# Runs one target; on a failure its log's end is shown and the reproducer kept.
fuzz_one() {
  local target=$1 work
  # New inputs go to a scratch folder, so the committed seeds stay a handful of files.
  work=$(mktemp -d)
  if (cd "$work" && "$BUILD/tests/fuzz/$target" -max_total_time="$SECONDS_EACH" -max_len=4096 \
        -timeout=10 -print_final_stats=1 "$work" "$ROOT/tests/fuzz/corpus/$target" >"$work/log" 2>&1); then
    echo "== $target: $(grep -E '^stat::number_of_executed_units' "$work/log" | tr -dc '0-9') runs in ${SECONDS_EACH}s"
  else
    tail -n 40 "$work/log"
    mkdir -p "$BUILD/crashes/$target"
    cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$BUILD/crashes/$target/" 2>/dev/null || true
    echo "!! $target failed; reproducer kept in $BUILD/crashes/$target/" >&2
    rm -rf "$work"
    return 1
  fi
  rm -rf "$work"
}

# Each target is single-threaded: one per core, so every target still gets its full time.
status=0
running=0
for target in "${TARGETS[@]}"; do
  fuzz_one "$target" &
  if ((++running >= $(nproc))); then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while ((running > 0)); do
  wait -n || status=1
  ((running--))
done
exit $status
