# shellcheck shell=bash
# Helpers for the shell checks that run the real programs; a check sources this file:
#   source "$(dirname "$0")/../support/harness.sh"
# It offers:
#   skip REASON            "SKIP: REASON", exit 77 (ctest's skip code for these checks)
#   need_tools TOOL...     skip with "TOOL is not installed" unless every TOOL is on the PATH
#   rerun_in_x SECONDS TOOL... -- ARGS...
#                          skips unless xvfb-run, xauth and every TOOL are there, then execs the
#                          check again as `$0 --inside-x ARGS...` in a fresh Xvfb (xvfb-run -a,
#                          1024x768x24, no TCP) bounded by SECONDS; timeout signals the whole
#                          process group, so the check's exit trap still runs
#   take_programs_and_shots QORNC QORNC_SERVER OUT_DIR
#                          CLIENT_BIN, SERVER_BIN and OUT as absolute paths, since the client
#                          starts in a folder of its own; OUT is made, without the last run's PNGs
#   make_work              WORK: a temporary folder, SERVER_LOG in it, pids: the processes the
#                          check started; on exit they get SIGTERM, then SIGKILL after 3 s, then
#                          on_cleanup runs if the check defines it and WORK is removed
#   fail TEXT              "FAIL: TEXT", every *.log in WORK and one level below, on_fail if the
#                          check defines it, exit 1
#   fault TEXT / verdict PASS_TEXT
#                          for checks that go on after a failed check: fault counts it, verdict
#                          ends with exit 1 if any was counted and prints PASS_TEXT otherwise
#   within SECONDS COMMAND...
#                          polls COMMAND every 0.1 s, SECONDS*10 times at most
#   while_alive PID SECONDS COMMAND...
#                          the same, giving up (after one last try) once PID has ended
#   step TEXT              "== TEXT", the heading of a step in the check's output
#   shot NAME              a screenshot of the whole X screen to $OUT/NAME.png
#   gone PID               the process has ended
#   ended_cleanly PID WHAT the client PID ends within 5 s with status 0, or fail naming WHAT
#   logged TEXT [TIMES]    TEXT is in SERVER_LOG at least TIMES (1) times; logged_times TEXT
#   start_server COMMAND...
#                          the qornc-server COMMAND in the background, its output in SERVER_LOG,
#                          its pid in SERVER and pids; waits up to 5 s for its "listening on"
#                          line and returns non-zero without it
#   handed_over PID LOG FOLDER
#                          a later start in FOLDER (PID, its standard error in LOG) ends within 5 s
#                          with status 0 after one line saying the copy there brought its window up
#   block TEXT             TEXT as a NUL-padded 256-byte request block on the connection on fd 3
#   start_session_bus      a D-Bus session bus of the check's own, in DBUS_SESSION_BUS_ADDRESS
#   slot / click_slot XDOTOOL_ARGS...
#                          the tray slot trayer gave the client, as root geometry WxH+X+Y; the
#                          pointer onto its centre, then XDOTOOL_ARGS (say `click 1`)
#   start_trayer           trayer as a panel along the top, its pid in TRAYER and pids
#   start_stalled_listener a listener on 127.0.0.1:22001 whose one-connection backlog is full, so
#                          a connect to it waits; its pid in STALL and pids
#   start_fake SERVICE ARG...
#                          support/fake_desktop.py SERVICE (tray or notifications) on that bus,
#                          its output in WORK/SERVICE.log, its pid in FAKE; waits for it to serve
# The caller chooses set -e or not; nothing here changes shell options.

skip() {
  echo "SKIP: $*"
  exit 77
}

need_tools() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
}

rerun_in_x() {
  local seconds=$1 tools=()
  shift
  while [ "$1" != -- ]; do
    tools+=("$1")
    shift
  done
  shift
  need_tools xvfb-run xauth "${tools[@]}"
  exec timeout -k 5 "$seconds" xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" --inside-x "$@"
}

take_programs_and_shots() {
  CLIENT_BIN=$(realpath "${1:?usage: $0 QORNC QORNC_SERVER OUT_DIR}")
  SERVER_BIN=$(realpath "${2:?usage: $0 QORNC QORNC_SERVER OUT_DIR}")
  OUT=$(realpath -m "${3:?usage: $0 QORNC QORNC_SERVER OUT_DIR}")
  mkdir -p "$OUT"
  rm -f "$OUT"/*.png
}

make_work() {
  WORK=$(mktemp -d)
  SERVER_LOG=$WORK/server.log
  pids=()
  trap harness_cleanup EXIT
  trap 'exit 1' TERM INT
}

# Gives every started process a chance to end on its own (clients log out on SIGTERM), but never
# waits more than 3 s for all of them together.
harness_cleanup() {
  local pid tries
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for tries in $(seq 30); do
    any_alive || break
    sleep 0.1
  done
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if declare -F on_cleanup >/dev/null; then on_cleanup || true; fi
  rm -rf "$WORK"
}
any_alive() {
  local pid
  for pid in "${pids[@]}"; do
    kill -0 "$pid" 2>/dev/null && return 0
  done
  return 1
}

fail() {
  local log
  echo "FAIL: $*" >&2
  for log in "$WORK"/*.log "$WORK"/*/*.log; do
    [ -f "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
  done
  if declare -F on_fail >/dev/null; then on_fail || true; fi
  exit 1
}

failures=0
fault() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
verdict() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$*"
}

step() { echo "== $*"; }
shot() { import -window root "$OUT/$1.png"; }

within() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

while_alive() {
  local pid=$1 tries=$(($2 * 10))
  shift 2
  while ((tries-- > 0)); do
    "$@" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  "$@"
}

gone() { ! kill -0 "$1" 2>/dev/null; }
ended_cleanly() {
  within 5 gone "$1" || fail "the client did not end within 5 s ($2)"
  wait "$1" || fail "the client exited with status $? ($2)"
}

logged_times() { grep -cF -- "$1" "$SERVER_LOG"; }
logged() { [ "$(logged_times "$1")" -ge "${2:-1}" ]; }

handed_over() {
  within 5 gone "$1" || fail "the second start did not end"
  wait "$1" || fail "the second start exited with status $?"
  [ "$(wc -l <"$2")" -eq 1 ] && grep -qxF "qornc: QORNC already runs in the folder $3. Its window is brought to the front." \
    "$2" || fail "the second start did not say in one line on standard error that it handed over"
}

block() { printf '%s' "$1" >&3; head -c $((256 - ${#1})) /dev/zero >&3; }

start_session_bus() {
  dbus-daemon --session --nofork --print-address >"$WORK/bus.address" 2>"$WORK/dbus.log" &
  pids+=($!)
  within 5 [ -s "$WORK/bus.address" ] || fail "no session bus"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/bus.address") && export DBUS_SESSION_BUS_ADDRESS
}

start_fake() {
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/fake_desktop.py" "$@" >"$WORK/$1.log" 2>&1 &
  FAKE=$!
  pids+=("$FAKE")
  within 5 grep -qs '^serving' "$WORK/$1.log" || fail "the fake $1 service did not start"
}

start_server() {
  : >"$SERVER_LOG" # a restart must not find the previous run's line
  "$@" >"$SERVER_LOG" 2>&1 &
  SERVER=$!
  pids+=("$SERVER")
  while_alive "$SERVER" 5 grep -q '^listening on' "$SERVER_LOG"
}

slot() {
  xwininfo -root -tree | awk '/"qornc": \("qornc" "qornc"\)/ && $5 ~ /^[0-9]+x[0-9]+\+/ {
    split($5, size, /[x+]/); if (size[1] <= 64 && size[2] <= 64) { print size[1] "x" size[2] $6; exit } }'
}
click_slot() {
  local geometry=$(slot)
  local w=${geometry%%x*} rest=${geometry#*x}
  local h=${rest%%+*} x=${rest#*+}
  local y=${x#*+}
  x=${x%%+*}
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) "$@"
}

start_trayer() {
  trayer --edge top --align right --widthtype request --height 32 --SetDockType true >"$WORK/trayer.log" 2>&1 &
  TRAYER=$!
  pids+=("$TRAYER")
}

start_stalled_listener() {
  /usr/bin/python3 -c '
import socket, time
s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 22001)); s.listen(0)
held = socket.create_connection(("127.0.0.1", 22001))
print("full", flush=True); time.sleep(60)' >"$WORK/stall.log" 2>&1 &
  STALL=$!
  pids+=("$STALL")
  within 5 grep -q full "$WORK/stall.log" || fail "no listener with a full accept queue"
}
