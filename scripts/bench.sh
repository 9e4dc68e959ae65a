#!/usr/bin/env bash
# Builds a release with the benchmarks and writes docs/PERFORMANCE.md: every figure beside the
# floor it is divided by, measured in the same run on the machine named at its top.
#   scripts/bench.sh [--users 100,1000,10000] [--server PATH] [--scale-only | --accounts-only]
# --users     sizes of the server-scale runs (default 100,1000,10000)
# --server    the chat server to measure at scale (default: the one this checkout builds)
# --scale-only  measure the server at scale only; the client sections of the file stay as they are
# --accounts-only  measure only the server's accounts at scale (a state file of hashed accounts)
#             and replace only their part of the server-scale section
# Everything runs in a network namespace of its own: the fixed ports 22001/22002 and the users'
# loopback addresses never meet anything else on the machine, and nothing leaves it.
# QORNC_BENCH_FLOOD and QORNC_BENCH_PRESENCE override the flood size and the presence sizes;
# QORNC_BENCH_STATE_ACCOUNTS, QORNC_BENCH_REGISTRATION_USERS and QORNC_BENCH_HASHED_LOGINS the
# sizes of the accounts runs (100000 accounts, 1000 users sending, 10000 hashed logins).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$ROOT/build-bench
OUT=$ROOT/docs/PERFORMANCE.md
FLOOD=${QORNC_BENCH_FLOOD:-10000}
PRESENCE=${QORNC_BENCH_PRESENCE:-250 500 1000 2000}
RUNS=${QORNC_BENCH_RUNS:-15}
USERS=100,1000,10000
TARGET_SERVER=""
SCALE_ONLY=0
ACCOUNTS_ONLY=0
STATE_ACCOUNTS=${QORNC_BENCH_STATE_ACCOUNTS:-100000}
REGISTRATION_USERS=${QORNC_BENCH_REGISTRATION_USERS:-1000}
HASHED_LOGINS=${QORNC_BENCH_HASHED_LOGINS:-10000}
while [ $# -gt 0 ]; do
  case "$1" in
    --users) USERS=$2; shift 2 ;;
    --server) TARGET_SERVER=$(realpath "$2"); shift 2 ;;
    --scale-only) SCALE_ONLY=1; shift ;;
    --accounts-only) SCALE_ONLY=1; ACCOUNTS_ONLY=1; shift ;;
    *) echo "usage: $0 [--users 100,1000,10000] [--server PATH] [--scale-only | --accounts-only]" >&2; exit 1 ;;
  esac
done
[[ "$USERS" =~ ^[0-9]+(,[0-9]+)*$ ]] || { echo "--users takes sizes such as 100,1000" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

if [ -z "${QORNC_BENCH_IN_NAMESPACE:-}" ]; then
  ./scripts/deps.sh
  source scripts/build-cache.sh
  # Warnings are not errors here: GCC 12 at -O3 reports a false -Wrestrict in std::string code.
  cmake -G Ninja -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQORNC_BUILD_BENCH=ON -DQORNC_BUILD_TESTS=OFF \
    -DQORNC_WERROR=OFF "${CACHE_ARGS[@]}" >/dev/null
  if [ "$SCALE_ONLY" = 1 ]; then
    cmake --build "$BUILD" -j2 --target qornc-server qornc_bench_load qornc_bench_relay >/dev/null
  else
    cmake --build "$BUILD" -j2 >/dev/null
  fi
  args=(--users "$USERS")
  [ -n "$TARGET_SERVER" ] && args+=(--server "$TARGET_SERVER")
  [ "$SCALE_ONLY" = 1 ] && args+=(--scale-only)
  [ "$ACCOUNTS_ONLY" = 1 ] && args+=(--accounts-only)
  exec unshare -n env QORNC_BENCH_IN_NAMESPACE=1 "$0" "${args[@]}"
fi
ip link set lo up

B=$BUILD/bench
WORK=$(mktemp -d)
SERVER=""
cleanup() { [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
machine() {
  echo "$(lscpu | awk -F: '/Model name/ {gsub(/^ +/, "", $2); print $2}'), $(nproc) cores," \
       "$(free -g | awk '/Mem:/ {print $2}') GiB memory, $(uname -sr)."
}

client_sections() {
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
  echo "$(machine) Qt platform: offscreen."
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
}
}

# --- The server at scale: each size against the bare relay in the same run, the same generator.
SCALE_SERVER=${TARGET_SERVER:-$BUILD/server/qornc-server}
IFS=, read -r -a SIZES <<< "$USERS"
# The machine's cores may be shared, so each size runs three times and each figure is the median
# of its runs (QORNC_BENCH_SCALE_REPEATS overrides).
repeats() { echo "${QORNC_BENCH_SCALE_REPEATS:-3}"; }
scale_runs() {
  local n r
  for n in "${SIZES[@]}"; do
    for r in $(seq "$(repeats "$n")"); do
      mkdir -p "$WORK/scale-$n-$r"
      echo "server at scale: $n users, run $r" >&2
      "$BUILD/bench/scale/qornc_bench_load" --server "$SCALE_SERVER" --relay "$BUILD/bench/scale/qornc_bench_relay" \
        --users "$n" --work "$WORK/scale-$n-$r" > "$WORK/scale-$n-$r.txt" 2> "$WORK/scale-$n.err" \
        || echo "the load generator failed at $n users: $(tail -1 "$WORK/scale-$n.err")" >&2
    done
  done
}
fig() { # size figure target: the median over the size's runs
  cat "$WORK/scale-$1"-*.txt | awk -v k="$2" -v t="$3" '$1 == k && $2 == t {print $3}' | median | awk '{print ($0 == "") ? 0 : $0}'
}
num() { awk -v v="$1" -v d="${2:-0}" 'BEGIN { printf "%.*f", d, v }'; }
# How many times the relay's cost the server's is: a time over a time, or a rate under a rate.
times() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.1fx", a / b; else printf "n/a" }'; }
summary_row() { # label goal cell-function
  local label=$1 goal=$2 cell=$3 line n
  line="| $label |"
  for n in "${SIZES[@]}"; do line+=" $($cell "$n") |"; done
  echo "$line $goal |"
}
cell_login() {
  echo "$(times "$(fig "$1" login_seconds server)" "$(fig "$1" login_seconds relay)") ($(num "$(fig "$1" login_seconds server)" 2) s, $(num "$(fig "$1" login_per_second server)")/s)"
}
cell_rate() { # size figure-prefix
  echo "$(times "$(fig "$1" "$2_per_second" relay)" "$(fig "$1" "$2_per_second" server)") ($(num "$(fig "$1" "$2_per_second" server)") msg/s, $(num "$(fig "$1" "$2_delivered" server)") of $(num "$(fig "$1" "$2_sent" server)"))"
}
cell_many() { cell_rate "$1" many_hosts; }
cell_one() { cell_rate "$1" one_host; }
cell_refresh() { # a refresh cut short by its bound took longer than its time says: "≥"
  local bound=""
  awk -v a="$(fig "$1" refresh_answers server)" -v e="$(fig "$1" refresh_expected server)" 'BEGIN { exit !(a < e) }' && bound="≥ "
  echo "$bound$(times "$(fig "$1" refresh_seconds server)" "$(fig "$1" refresh_seconds relay)") ($bound$(num "$(fig "$1" refresh_seconds server)" 2) s, $(num "$(fig "$1" refresh_answers server)") answers)"
}
cell_rss() { echo "$(num "$(fig "$1" rss_kib_per_user server)" 1) KiB (relay $(num "$(fig "$1" rss_kib_per_user relay)" 1))"; }
cell_idle() { echo "$(num "$(fig "$1" idle_cpu_percent server)" 3) % (relay $(num "$(fig "$1" idle_cpu_percent relay)" 3))"; }
cell_latency() {
  echo "$(num "$(fig "$1" latency_p50_ms server)" 2) / $(num "$(fig "$1" latency_p99_ms server)" 2) ms (relay $(num "$(fig "$1" latency_p50_ms relay)" 2) / $(num "$(fig "$1" latency_p99_ms relay)" 2), $(num "$(fig "$1" latency_users server)") users)"
}
detail_table() { # size
  local n=$1 key
  echo "| figure | server | relay | server / relay |"
  echo "|---|---|---|---|"
  for key in login_seconds login_per_second logged_in login_failures rss_mib rss_kib_per_user idle_cpu_percent \
      many_hosts_per_second many_hosts_delivered many_hosts_out_of_order one_host_per_second one_host_delivered \
      one_host_out_of_order refresh_seconds refresh_answers latency_p50_ms latency_p99_ms latency_max_ms \
      latency_delivered links_lost texts_past_the_first overlong_deliveries texts_without_nul listen_overflows \
      many_hosts_generator_cpu_percent one_host_generator_cpu_percent refresh_generator_cpu_percent; do
    local s r
    s=$(fig "$n" "$key" server); r=$(fig "$n" "$key" relay)
    echo "| $key | $(num "$s" 3) | $(num "$r" 3) | $(ratio "$s" "$r") |"
  done
}
# --- The server's accounts at scale, against no relay (it keeps none): a state file of hashed
# accounts, latency while new names register in it, and every user logging in at once.
accounts_runs() {
  local load=$BUILD/bench/scale/qornc_bench_load
  mkdir -p "$WORK/registration" "$WORK/hashed"
  echo "server accounts: $STATE_ACCOUNTS in the state file, 30 registering" >&2
  "$load" --server "$SCALE_SERVER" --scenario registration --users "$REGISTRATION_USERS" --state-accounts "$STATE_ACCOUNTS" \
    --new-names 30 --bound-seconds 600 --work "$WORK/registration" > "$WORK/registration.txt" 2> "$WORK/registration.err" \
    || echo "the registration run failed: $(tail -1 "$WORK/registration.err")" >&2
  echo "server accounts: $HASHED_LOGINS hashed logins at once" >&2
  "$load" --server "$SCALE_SERVER" --scenario hashed-logins --users "$HASHED_LOGINS" --bound-seconds 1200 \
    --work "$WORK/hashed" > "$WORK/hashed.txt" 2> "$WORK/hashed.err" \
    || echo "the hashed-logins run failed: $(tail -1 "$WORK/hashed.err")" >&2
}
afig() { # run figure
  awk -v k="$2" '$1 == k && $2 == "server" {v = $3} END {print (v == "") ? 0 : v}' "$WORK/$1.txt"
}
acell() { # run figure: "-" for a figure the run does not take
  if grep -qs "^$2 server " "$WORK/$1.txt"; then num "$(afig "$1" "$2")" 3; else echo "-"; fi
}
accounts_block() {
  local r=registration h=hashed
  echo "<!-- accounts-scale -->"
  echo "### Accounts at scale: a state file of argon2id-hashed accounts"
  echo
  echo "Measured by \`scripts/bench.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'), server built from $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo "an unknown commit")."
  echo "Against the server alone: the relay keeps no accounts. The server gets \`--state-file\` holding"
  echo "the accounts, each hashed with argon2id at the server's own cost (19 MiB, 2 passes), and no"
  echo "accounts file. To write that many accounts fast, every account has the same hash of one shared"
  echo "password; the server cannot tell, and checks each login with a full argon2id verification."
  echo "New names: $(num "$(afig $r registration_users)") users logged in from the file send $(num "$(afig $r registration_rate)") msg/s (open loop, $(num "$(afig $r registration_sent)") messages);"
  echo "1 s in, 30 names not in the file log in for the first time at once, each from its own address, which"
  echo "registers them. \"While registering\" is the messages sent from those logins to the last"
  echo "\"getbuddy true NAME\" answer to them; a name counts as registered when that answer reaches it and when"
  echo "the state file holds it after the server stopped. Hashed logins: every user connects at once."
  echo
  echo "| | figure | goal |"
  echo "|---|---|---|"
  echo "| message latency p50 / p99 while 30 new names register, $(num "$(afig $r state_accounts)") accounts | $(num "$(afig $r registering_p50_ms)" 2) / $(num "$(afig $r registering_p99_ms)" 2) ms over $(num "$(afig $r registering_messages)") messages in $(num "$(afig $r registration_seconds)" 2) s (whole window: $(num "$(afig $r registration_window_p50_ms)" 2) / $(num "$(afig $r registration_window_p99_ms)" 2) ms, max $(num "$(afig $r registration_window_max_ms)" 1) ms; $(num "$(afig $r registration_delivered)") of $(num "$(afig $r registration_sent)") delivered) | p99 < 10 ms |"
  echo "| new names registered | $(num "$(afig $r registered)") of 30 answered online, $(num "$(afig $r registered_in_state_file)") in the state file after the stop, $(num "$(afig $r registration_failures)") failed, $(num "$(afig $r refusals_logged)") refusals logged | all 30, none failed |"
  echo "| $(num "$(afig $h state_accounts)") hashed logins at once | $(num "$(afig $h logged_in)") served, $(num "$(afig $h refusals_logged)") refusals logged, $(num "$(afig $h login_failures)") failed; last login after $(num "$(afig $h login_seconds)" 1) s ($(num "$(afig $h login_per_second)" 1) logins/s) | all served, none refused |"
  echo
  echo "| figure | new names | hashed logins |"
  echo "|---|---|---|"
  local key
  for key in state_accounts login_seconds logged_in login_failures registering_p50_ms registering_p99_ms registering_max_ms \
      registering_messages registration_window_p50_ms registration_window_p99_ms registration_window_max_ms \
      registration_delivered registered registered_in_state_file registration_seconds refusals_logged listen_overflows; do
    echo "| $key | $(acell $r "$key") | $(acell $h "$key") |"
  done
  echo "<!-- /accounts-scale -->"
}

scale_section() {
  local header="| |" rule="|---|" n
  for n in "${SIZES[@]}"; do header+=" $n users |"; rule+="---|"; done
  echo "<!-- server-scale -->"
  echo "## Server at scale, against a bare relay"
  echo
  echo "Measured by \`scripts/bench.sh --users $USERS\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $(machine)"
  echo "Server: \`${SCALE_SERVER#"$ROOT"/}\` (version: $("$SCALE_SERVER" --version 2>/dev/null | head -1 || echo unknown)), built from $(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo "an unknown commit")."
  echo
  echo "Each user logs in from a loopback address of its own and takes its notifications on"
  echo "that address's port 22002, in a network namespace the script makes. Each size runs the"
  echo "bare relay (\`bench/scale/BareRelay\`: the same socket work, no accounts) and then the server,"
  echo "both started fresh, with the same generator (\`bench/scale\`). \"Nx\" is how many times the relay's"
  echo "time the server takes (for rates: the relay's rate over the server's); figures in brackets are the server's."
  echo
  echo "$header goal |"
  echo "$rule---|"
  summary_row "login, all users (time, logins/s)" "≤ 2x" cell_login
  summary_row "messages to many hosts" "≤ 2x" cell_many
  summary_row "messages all to one host" "≤ 2x" cell_one
  summary_row "one user's refresh of 2,000 contacts (3,999 answers)" "≤ 2x" cell_refresh
  summary_row "server RSS per logged-in user" "≤ 4 KB" cell_rss
  summary_row "idle CPU of one core, all users connected" "< 0.1 %" cell_idle
  summary_row "latency p50 / p99 at 2,000 msg/s" "p99 ≤ 2 ms" cell_latency
  echo
  cat "$ROOT/bench/scale/FINDINGS.md"
  for n in "${SIZES[@]}"; do
    echo
    echo "### All figures at $n users (median of $(repeats "$n") runs)"
    echo
    if ! grep -qs '^latency_delivered server' "$WORK/scale-$n"-*.txt; then
      echo "The run did not complete: $(tail -1 "$WORK/scale-$n.err" 2>/dev/null)"
      continue
    fi
    detail_table "$n"
  done
  echo
  accounts_block
  echo "<!-- /server-scale -->"
}

if [ "$ACCOUNTS_ONLY" = 1 ]; then
  # Every other figure of the file as the last run wrote it; the accounts' part in place of its
  # last one, or at the end of the server-scale section.
  [ -f "$OUT" ] && grep -q '^<!-- /server-scale -->$' "$OUT" || { echo "--accounts-only needs a server-scale section in $OUT" >&2; exit 1; }
  accounts_runs
  accounts_block > "$WORK/accounts.md"
  awk -v block="$WORK/accounts.md" '
    function put() { while ((getline line < block) > 0) print line; close(block) }
    /^<!-- accounts-scale -->$/ { skipping = 1; put(); placed = 1; next }
    /^<!-- \/accounts-scale -->$/ { skipping = 0; next }
    /^<!-- \/server-scale -->$/ && !placed { print ""; put(); print ""; placed = 1 }
    !skipping { print }' "$OUT" > "$WORK/out.md"
  cp "$WORK/out.md" "$OUT"
  echo "wrote $OUT"
  exit 0
fi
if [ "$SCALE_ONLY" = 1 ] && [ -f "$OUT" ]; then
  # The client sections as the last full run wrote them.
  awk '/^<!-- server-scale -->$/ || /^## Findings and fixes/ {exit} {print}' "$OUT" > "$WORK/client.md"
else
  client_sections > "$WORK/client.md"
fi
# What was written by hand below the server's figures (earlier servers' figures) stays.
: > "$WORK/notes.md"
[ -f "$OUT" ] && awk '/^<!-- \/server-scale -->$/ {on = 1; next} /^## Findings and fixes/ {exit} on {print}' "$OUT" > "$WORK/notes.md"
scale_runs
accounts_runs
scale_section > "$WORK/scale.md"
{
  cat "$WORK/client.md"
  cat "$WORK/scale.md"
  if [ -s "$WORK/notes.md" ]; then cat "$WORK/notes.md"; else echo; fi
  cat "$ROOT/bench/FINDINGS.md"
} > "$OUT"
echo "wrote $OUT"
