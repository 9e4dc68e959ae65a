#!/usr/bin/env bash
# Builds a release of the client and the reference server, then starts a demo: the server on
# 127.0.0.1 with an echo bot, and the client in demo/ logged in as "demo" with "echo" as its
# contact. The server stops when the client does, however either is stopped.
# With --client-only, just starts the client in the current folder for real use.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/deps.sh"
cd "$ROOT" && source scripts/build-cache.sh && cd - >/dev/null

BUILD="$ROOT/build-release"
cmake -G Ninja -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQORNC_BUILD_TESTS=OFF "${CACHE_ARGS[@]}" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

if [ "${1:-}" = "--client-only" ]; then
  exec "$BUILD/qornc"
fi

DEMO="$ROOT/demo"
mkdir -p "$DEMO"
if [ ! -f "$DEMO/info.cfg" ]; then
  printf 'userid demo\npassword demo-pass\nserverip 127.0.0.1\n' > "$DEMO/info.cfg"
fi
chmod 600 "$DEMO/info.cfg" # it holds a password, even a demo one
[ -f "$DEMO/list.cfg" ] || printf 'echo\n' > "$DEMO/list.cfg"

# What Qt and fontconfig cache or keep as state lands in demo/ too. The config and data homes
# stay the user's, so the demo looks like the desktop; the runtime folder too when there is
# one, since the session bus and the display socket live there.
export XDG_CACHE_HOME="$DEMO/.cache" XDG_STATE_HOME="$DEMO/.local/state"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$DEMO/.runtime"
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

SERVER=
CLIENT=
stop_all() {
  trap - EXIT INT TERM HUP
  [ -z "$CLIENT" ] || kill -TERM "$CLIENT" 2>/dev/null || true
  [ -z "$CLIENT" ] || wait "$CLIENT" 2>/dev/null || true # it logs out and saves its list first
  [ -z "$SERVER" ] || kill -TERM "$SERVER" 2>/dev/null || true
  [ -z "$SERVER" ] || wait "$SERVER" 2>/dev/null || true
}
trap stop_all EXIT
trap 'stop_all; exit 130' INT
trap 'stop_all; exit 143' TERM HUP

# In a session of its own, so Ctrl-C reaches only this script and the client: the client logs
# out first, and only then is the server stopped.
setsid "$BUILD/server/qornc-server" --listen 127.0.0.1 --bot echo > "$DEMO/server.log" 2>&1 &
SERVER=$!
for _ in $(seq 50); do
  grep -q '^listening on' "$DEMO/server.log" && break
  kill -0 "$SERVER" 2>/dev/null || break
  sleep 0.1
done
grep -q '^listening on' "$DEMO/server.log" || {
  echo "qornc-server did not start (is port 22001 taken?); see $DEMO/server.log" >&2
  exit 1
}

echo "Demo: click the QORNC tray icon (or use the window), select \"echo\" under Online, type and press Enter."
echo "Server log: $DEMO/server.log"
cd "$DEMO"
# In the background so a signal to this script is handled at once rather than after the client.
"$BUILD/qornc" &
CLIENT=$!
wait "$CLIENT" || true
CLIENT=
