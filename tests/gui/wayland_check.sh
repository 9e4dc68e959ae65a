#!/usr/bin/env bash
# The client on a Wayland desktop without a tray (sway, headless): the compositor gives the focus
# only to a request that carries an activation token. A click on a message's notification brings
# the window to the front with the token the notification service passed on, and a second start
# does the same with the token its launcher gave it. A helper of ours hands the tokens out and
# holds the focus in between.
# Usage: wayland_check.sh QORNC QORNC_SERVER TOKEN_HELPER. Runs on the fixed ports 22001/22002;
# exits 77 when a tool is missing.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

CLIENT_BIN=$(realpath "${1:?usage: $0 QORNC QORNC_SERVER TOKEN_HELPER}")
SERVER_BIN=$(realpath "${2:?usage: $0 QORNC QORNC_SERVER TOKEN_HELPER}")
HELPER_BIN=$(realpath "${3:?usage: $0 QORNC QORNC_SERVER TOKEN_HELPER}")
need_tools sway swaymsg setpriv dbus-daemon
/usr/bin/python3 -c 'import gi' 2>/dev/null || skip "python3-gi is not installed"

make_work
# sway refuses to run as root: it runs as nobody, in a runtime folder of its own.
chmod 711 "$WORK"
SWAY_DIR=$WORK/sway
mkdir -m 700 "$SWAY_DIR" && chown nobody "$SWAY_DIR"
printf 'focus_on_window_activation focus\n' >"$SWAY_DIR/config"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -i HOME="$SWAY_DIR" XDG_RUNTIME_DIR="$SWAY_DIR" \
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$SWAY_DIR/config" \
  >"$WORK/sway.log" 2>&1 &
pids+=($!)
within 10 eval 'ls "$SWAY_DIR"/sway-ipc.*.sock >/dev/null 2>&1' || fail "sway did not start"
export WAYLAND_DISPLAY=$SWAY_DIR/wayland-1 SWAYSOCK=$(ls "$SWAY_DIR"/sway-ipc.*.sock)
mkdir -m 700 "$WORK/run"
export QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR=$WORK/run
start_session_bus
start_fake notifications "$WORK/token"

has_focus() { # title: the window with that title has the focus
  swaymsg -t get_tree | /usr/bin/python3 -c 'import json, sys
f = lambda n: [n["name"]] if n["focused"] else sum((f(c) for c in n["nodes"] + n["floating_nodes"]), [])
sys.exit(f(json.load(sys.stdin)) != [sys.argv[1]])' "$1"
}
token() { sed -n "${1}p" "$WORK/tokens"; }

start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo || fail "qornc-server did not start"
mkdir "$WORK/client"
printf 'userid demo\npassword pw\nserverip 127.0.0.1\n' >"$WORK/client/info.cfg"
printf 'echo\n' >"$WORK/client/list.cfg"
(cd "$WORK/client" && exec "$CLIENT_BIN" >"$WORK/client.log" 2>&1) &
pids+=($!)
within 10 has_focus "QOR Network Client" || fail "the window did not show with the focus"
within 5 logged "login demo" || fail "no login"
"$HELPER_BIN" 2 >"$WORK/tokens" 2>"$WORK/helper.log" &
pids+=($!)
within 5 has_focus "token helper" || fail "the helper's window did not take the focus"
within 5 [ "$(wc -l <"$WORK/tokens")" -eq 2 ] || fail "the helper got no activation tokens"
swaymsg '[title="^QOR Network Client$"] kill' >/dev/null # the close box: without a tray, minimise

step "a click on a message's notification brings the window to the front"
exec 3<>/dev/tcp/127.0.0.1/22001 || fail "no connection to the server"
block "login bob bob-pass"
block "message bob bob-pass demo are you there?"
within 5 grep -q '^notify .* bob' "$WORK/notifications.log" || fail "no notification for bob's message"
has_focus "token helper" || fail "the window took the focus without being asked"
token 1 >"$WORK/token"
kill -USR1 "$FAKE"
within 3 has_focus "QOR Network Client" || fail "a click on the notification did not bring the window to the front"

step "a second start brings the window to the front with its launcher's token"
swaymsg '[title="^token helper$"] focus' >/dev/null
within 3 has_focus "token helper" || fail "the helper did not take the focus back"
(cd "$WORK/client" && XDG_ACTIVATION_TOKEN=$(token 2) exec "$CLIENT_BIN" >"$WORK/second.log" 2>&1) &
handed_over $! "$WORK/second.log" "$WORK/client"
within 3 has_focus "QOR Network Client" || fail "the second start did not bring the window to the front"
echo "wayland: all checks passed"
