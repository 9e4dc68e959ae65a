#!/usr/bin/env bash
# Builds a release with the benchmarks and writes docs/PERFORMANCE.md: every figure beside the
# floor it is divided by, measured in the same run on the machine named at its top.
# Needs the fixed ports 22001/22002 free (the idle run uses the real qornc binary).
# QORNC_BENCH_FLOOD and QORNC_BENCH_PRESENCE override the flood size and the presence sizes.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build-bench
OUT=$ROOT/docs/PERFORMANCE.md
FLOOD=${QORNC_BENCH_FLOOD:-10000}
PRESENCE=${QORNC_BENCH_PRESENCE:-250 500 1000 2000}
RUNS=${QORNC_BENCH_RUNS:-15}
export QT_QPA_PLATFORM=offscreen

./scripts/deps.sh
# Warnings are not errors here: GCC 12 at -O3 reports a false -Wrestrict in std::string code.
cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQORNC_BUILD_BENCH=ON -DQORNC_BUILD_TESTS=OFF \
  -DQORNC_WERROR=OFF >/dev/null
cmake --build "$BUILD" -j2 >/dev/null
B=$BUILD/bench
WORK=$(mktemp -d)
SERVER=""
cleanup() { [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }

mkdir -p "$WORK/client"
printf 'userid bench\npassword bench-pass\nserverip 127.0.0.1\n' > "$WORK/client/info.cfg"
printf 'echo\n' > "$WORK/client/list.cfg"
"$BUILD/server/qornc-server" --listen 127.0.0.1 --bot echo > "$WORK/server.log" 2>&1 &
SERVER=$!
sleep 0.5
kill -0 "$SERVER" || { echo "qornc-server could not take 22001/22002" >&2; exit 1; }

# --- Start-up: wall time to the first show of the window, peak RSS at that moment.
startup_run() { # prints "ms rss_kib"
  local start end rss
  start=$(date +%s%N)
  rss=$("$@" 2>/dev/null | awk '/peak_rss_kib/ {print $2}')
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 )) $rss"
}
: > "$WORK/startup_client"; : > "$WORK/startup_floor"
for _ in $(seq "$RUNS"); do
  (cd "$WORK/client" && startup_run "$B/qornc_bench_startup" client . 22001 22002) >> "$WORK/startup_client"
  startup_run "$B/qornc_bench_startup" floor >> "$WORK/startup_floor"
done
client_us=$(awk '{print $1}' "$WORK/startup_client" | median)
floor_us=$(awk '{print $1}' "$WORK/startup_floor" | median)
client_rss=$(awk '{print $2}' "$WORK/startup_client" | median)
floor_rss=$(awk '{print $2}' "$WORK/startup_floor" | median)

# --- Idle: CPU time over 30 s of the real client, connected, against the bare dialog.
IDLE_SECONDS=${QORNC_BENCH_IDLE_SECONDS:-30}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
idle_run() { # command...; prints CPU percent of one core
  "$@" >/dev/null 2>&1 &
  local pid=$! before after hz
  sleep 3 # start-up and the first refresh are not idle
  before=$(cpu_ticks "$pid")
  sleep "$IDLE_SECONDS"
  after=$(cpu_ticks "$pid")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  hz=$(getconf CLK_TCK)
  awk -v t=$((after - before)) -v hz="$hz" -v s="$IDLE_SECONDS" 'BEGIN { printf "%.3f", 100 * t / hz / s }'
}
idle_client=$(cd "$WORK/client" && idle_run "$BUILD/qornc")
idle_floor=$(idle_run "$B/qornc_bench_startup" floor-idle)
kill "$SERVER"; wait "$SERVER" 2>/dev/null || true; SERVER=""

# --- Presence at scale and the message flood.
# shellcheck disable=SC2086
"$B/qornc_bench_scale" presence $PRESENCE > "$WORK/scale" 2>"$WORK/scale.err"
"$B/qornc_bench_scale" flood "$FLOOD" >> "$WORK/scale" 2>>"$WORK/scale.err"
"$B/qornc_bench_scale" burst 4 2000 2 >> "$WORK/scale" 2>>"$WORK/scale.err"
get() { awk -v k="$1" '$1 == k {print $2}' "$WORK/scale"; }

# --- Parser.
"$B/qornc_bench_parser" --benchmark_format=console 2>/dev/null > "$WORK/parser"

{
  echo "# Performance"
  echo
  echo "Measured by \`scripts/bench.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'):"
  echo "$(lscpu | awk -F: '/Model name/ {gsub(/^ +/, "", $2); print $2}'), $(nproc) cores," \
       "$(free -g | awk '/Mem:/ {print $2}') GiB memory, $(uname -sr). Qt platform: offscreen."
  echo "Every figure is set against a floor measured in the same run, so the ratios carry over"
  echo "to other machines better than the absolute numbers."
  echo
  echo "## Start-up (median of $RUNS runs, process start to the first show of the window)"
  echo
  echo "| | client | floor (bare dialog, same controls) | ratio / difference | target |"
  echo "|---|---|---|---|---|"
  echo "| wall time | $((client_us / 1000)) ms | $((floor_us / 1000)) ms | $(ratio "$client_us" "$floor_us")× | ≤ 1.3× |"
  echo "| peak RSS | $((client_rss / 1024)) MiB | $((floor_rss / 1024)) MiB | +$(( (client_rss - floor_rss) / 1024 )).$(( ((client_rss - floor_rss) % 1024) * 10 / 1024 )) MiB | ≤ +4 MiB |"
  echo
  echo "## Idle ($IDLE_SECONDS s, connected to qornc-server on loopback, utime+stime from /proc)"
  echo
  echo "| client | floor (bare dialog) | target |"
  echo "|---|---|---|"
  echo "| ${idle_client}% of one core | ${idle_floor}% | < 0.2% |"
  echo
  echo "## Presence at scale (refresh to the Online list showing every contact)"
  echo
  echo "Floor: the same connections with nothing behind them: 2N−1 request blocks out on one"
  echo "connection, N delivery connections in to a plain QTcpServer that accepts and reads."
  echo
  echo "| contacts | time | rows shown | floor | ratio | time per contact |"
  echo "|---|---|---|---|---|---|"
  for n in $PRESENCE; do
    t=$(get "presence_${n}_seconds"); f=$(get "presence_${n}_floor_seconds")
    echo "| $n | ${t} s | $(get "presence_${n}_rows") | ${f} s | $(ratio "$t" "$f")× | $(awk -v t="$t" -v n="$n" 'BEGIN{printf "%.2f", 1000*t/n}') ms |"
  done
  echo
  echo "Target: under 1 s for 2000 contacts, close to linear."
  echo
  echo "## Message flood ($FLOOD notifications, each on its own connection, from the server's address)"
  echo
  ft=$(get flood_seconds); ff=$(get flood_floor_seconds)
  echo "| time | messages/s | floor | floor messages/s | ratio | seen in the conversation | out of order | last shown |"
  echo "|---|---|---|---|---|---|---|---|"
  echo "| ${ft} s | $(awk -v c="$FLOOD" -v t="$ft" 'BEGIN{printf "%.0f", c/t}') | ${ff} s | $(awk -v c="$FLOOD" -v t="$ff" 'BEGIN{printf "%.0f", c/t}') | $(ratio "$ft" "$ff")× | $(get flood_shown) | $(get flood_out_of_order) | $(get flood_last_shown) |"
  echo
  echo "## Bursts ($(get burst_count) notifications from $(get burst_senders) parallel senders, each pausing $(get burst_pause_ms) ms between connect and write)"
  echo
  echo "| time | shown | lost | send failures |"
  echo "|---|---|---|---|"
  echo "| $(get burst_seconds) s | $(get burst_shown) | $(get burst_lost) | $(get burst_send_failures) |"
  echo
  echo "## Parser (NotificationFramer + ParseNotification, Google Benchmark)"
  echo
  echo '```'
  grep -E '^(Frame|Parse|-|Benchmark)' "$WORK/parser"
  echo '```'
  echo
  cat "$ROOT/bench/FINDINGS.md"
} > "$OUT"
echo "wrote $OUT"
