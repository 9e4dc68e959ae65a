#!/usr/bin/env bash
# Builds a release of the client and the reference server, then starts a demo: the server on
# 127.0.0.1 with an echo bot, and the client in demo/ logged in as "demo" with "echo" as its
# contact. With --client-only, just starts the client in the current folder for real use.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/deps.sh"

BUILD="$ROOT/build-release"
cmake -G Ninja -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQORNC_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

if [ "${1:-}" = "--client-only" ]; then
  exec "$BUILD/qornc"
fi

DEMO="$ROOT/demo"
mkdir -p "$DEMO"
if [ ! -f "$DEMO/info.cfg" ]; then
  (umask 077 && printf 'userid demo\npassword demo-pass\nserverip 127.0.0.1\n' > "$DEMO/info.cfg")
fi
[ -f "$DEMO/list.cfg" ] || printf 'echo\n' > "$DEMO/list.cfg"

"$BUILD/server/qornc-server" --listen 127.0.0.1 --bot echo > "$DEMO/server.log" 2>&1 &
SERVER=$!
trap 'kill "$SERVER" 2>/dev/null; wait "$SERVER" 2>/dev/null || true' EXIT
sleep 0.5
kill -0 "$SERVER" 2>/dev/null || { echo "qornc-server did not start; see $DEMO/server.log" >&2; exit 1; }

echo "Demo: click the QORNC tray icon (or use the window), select \"echo\", type and press Enter."
cd "$DEMO"
"$BUILD/qornc"
