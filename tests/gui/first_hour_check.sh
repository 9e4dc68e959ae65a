#!/usr/bin/env bash
# A new user's first hour on an X desktop with a panel (Xvfb, openbox, trayer), the window read
# and driven through the accessibility bus as a screen reader does: a connect to a host that
# drops handshakes leaves the window answering, says so and disables Connect, and Disconnect
# drops it; the window icon comes in several sizes; a refused Enter is no longer told once a
# line to echo went out; the Online selection is back after Disconnect and Connect; the window
# comes back where it was; the tray icon's right-click menu Exits as File > Exit does; in German
# (by LANG) and French (by LANGUAGE) no button reads Connect or Exit, and a StatusNotifier tray's
# menu (a fake host of our own) is translated and Exits too.
# Usage: first_hour_check.sh QORNC QORNC_SERVER. Runs on the fixed ports 22001/22002; 77 means a
# tool is missing.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

[ "${1:-}" = --inside-x ] || rerun_in_x 110 openbox trayer xdotool xwininfo xprop dbus-daemon -- "$@"
shift
/usr/bin/python3 -c 'import pyatspi, gi' 2>/dev/null || skip "python3-pyatspi or python3-gi is not installed"
CLIENT_BIN=$(realpath "${1:?usage: $0 QORNC QORNC_SERVER}")
SERVER_BIN=$(realpath "${2:?usage: $0 QORNC QORNC_SERVER}")
HERE=$(realpath "$(dirname "$0")")

make_work
CONFIG=$WORK/client
mkdir -p "$CONFIG"
printf 'userid first\npassword pw\nserverip 127.0.0.1\n' >"$CONFIG/info.cfg"
printf 'echo\n' >"$CONFIG/list.cfg"

# Without -q, grep reads what the probe prints to its end: the probe must not fail on a closed pipe.
probe() { QORNC_PID=$CLIENT /usr/bin/python3 "$HERE/atspi_probe.py" "$@" 2>>"$WORK/probe.log"; }
status_is() { [ "$(probe status)" = "$1" ]; }
enabled() { [ "$(probe enabled "$1")" = "$2" ]; }
rows_are() { [ "$(probe rows | tr '\n' ' ')" = "$1" ]; }
start_client() { # log [VAR=value...]: the client in its folder, on the accessibility bus
  local log=$1
  shift
  (cd "$CONFIG" && exec env -u LC_ALL -u LC_MESSAGES -u LANGUAGE QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    XDG_RUNTIME_DIR="$WORK" "$@" "$CLIENT_BIN" >"$WORK/$log.log" 2>&1) &
  CLIENT=$!
  pids+=("$CLIENT")
}
logged_out() { # what user: the client ended within 5 s with status 0 and logged out
  ended_cleanly "$CLIENT" "$1"
  within 2 logged "logout $2" || fail "no logout after $1"
}
window_id() { xdotool search --all --onlyvisible --pid "$CLIENT" --name '^QOR Network Client$' 2>/dev/null | head -n1; }
place() { xdotool getwindowgeometry "$(window_id)" | awk '/Position/ {print $2}'; }

openbox >"$WORK/openbox.log" 2>&1 &
pids+=($!)
start_session_bus # the accessibility bus is started on it when the client asks

step "a connect to a host that drops handshakes: the window answers, says so, Connect waits"
start_stalled_listener
start_client first
within 10 status_is "Connecting to 127.0.0.1..." || fail "the status line does not say it is connecting: $(probe status)"
enabled Connect no || fail "Connect is enabled while connecting"
enabled Disconnect yes || fail "Disconnect cannot drop the attempt"
slowest=$(probe answers 3) || fail "the window took ${slowest} ms to answer during the connect"
echo "slowest answer during the connect: ${slowest} ms"
status_is "Connecting to 127.0.0.1..." || fail "the attempt did not last: $(probe status)"
sizes=$(xprop -id "$(window_id)" _NET_WM_ICON | grep -o 'Icon ([0-9]* x' | grep -o '[0-9]*')
[ "$(echo "$sizes" | wc -l)" -ge 3 ] && [ "$(echo "$sizes" | sort -n | tail -n1)" -ge 64 ] ||
  fail "the window icon does not come in three sizes up to 64 px at least: $(echo $sizes)"
probe press Disconnect
within 3 status_is "Not connected: the attempt was abandoned." || fail "Disconnect did not drop the attempt: $(probe status)"
enabled Connect yes || fail "Connect stayed disabled after the attempt was dropped"
kill -KILL "$STALL"
wait "$STALL" 2>/dev/null

step "a refused Enter is no longer told once a line to echo went out"
start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo || fail "qornc-server did not start"
probe press Connect
within 5 status_is "No status messages." || fail "Connect did not connect: $(probe status)"
within 5 rows_are "echo " || fail "echo is not in the Online list: $(probe rows)"
xdotool windowactivate --sync "$(window_id)"
probe type "hello?"
xdotool key Return
within 3 eval 'probe status | grep "^Not sent" >/dev/null' || fail "Enter with nobody selected was not refused: $(probe status)"
read -r x y < <(probe where 0)
xdotool mousemove "$x" "$y" click 1
[ "$(probe selected)" = echo ] || fail "a click did not select echo"
probe type "hello?"
xdotool key Return
within 5 eval 'probe conversation | grep "^echo: " >/dev/null' || fail "echo did not answer: $(probe conversation)"
status_is "No status messages." || fail "the status still tells the refusal: $(probe status)"

step "the selection is back after Disconnect and Connect"
probe press Disconnect
within 3 rows_are "" || fail "the Online list did not empty"
probe press Connect
within 5 rows_are "echo " || fail "echo did not come back: $(probe rows)"
[ "$(probe selected)" = echo ] || fail "echo is not selected again after Connect"

step "the window comes back where it was; the tray menu's Exit ends the client as File > Exit"
start_trayer
within 5 eval '[ -n "$(slot)" ]' || fail "the panel did not get the icon"
xprop -id "$(window_id)" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "the fixed-size window offers to maximise"
before=$(place)
click_slot click 1
within 3 eval '[ -z "$(window_id)" ]' || fail "a click on the icon did not hide the window"
sleep 0.5
click_slot click 1
within 3 eval '[ -n "$(window_id)" ]' || fail "a click on the icon did not show the window"
sleep 0.5
[ "$(place)" = "$before" ] || fail "the window moved from $before to $(place) after a hide and a show"
click_slot click 3
sleep 0.5
xdotool key x # E&xit
logged_out "the tray menu's Exit" first
kill -TERM "$TRAYER" && wait "$TRAYER"

step "German and French on a StatusNotifier tray: no button reads Connect or Exit, the menu Exits"
start_fake tray "$WORK"
# German by LANG, French by LANGUAGE, which the desktop sets above LANG.
for language in de_DE:LANG=de_DE.UTF-8:Login:Ende:Trennen fr_FR:LANGUAGE=fr_FR:Joindre:Fin:Couper; do
  IFS=: read -r locale setting connect exit disconnect <<<"$language"
  items=$(grep -c '^item' "$WORK/tray.log")
  logins=$(logged_times "login first")
  start_client "$locale" LANG=en_US.UTF-8 "$setting"
  within 10 eval '[ "$(grep -c "^item" "$WORK/tray.log")" -gt "$items" ]' || fail "no tray item ($locale)"
  within 5 logged "login first" $((logins + 1)) || fail "no login ($locale)"
  kill -USR1 "$FAKE" # a click shows the window
  within 5 eval 'probe buttons | grep -x "$connect" >/dev/null' || fail "no button reads $connect ($locale): $(probe buttons | tr '\n' ,)"
  english=$(probe buttons | grep -x -e Connect -e Exit -e Disconnect)
  [ -z "$english" ] || fail "buttons still read $english ($locale)"
  service=$(grep '^item' "$WORK/tray.log" | tail -n1 | cut -d' ' -f2)
  menu=$(/usr/bin/python3 "$HERE/sni_menu.py" "$service" | tr '\n' ,)
  echo "StatusNotifier menu ($locale): $menu"
  case "$menu" in *"$disconnect"*"$exit"*) ;; *) fail "the StatusNotifier menu is not translated ($locale): $menu" ;; esac
  /usr/bin/python3 "$HERE/sni_menu.py" "$service" click "$exit" || fail "no $exit in the StatusNotifier menu"
  logged_out "the StatusNotifier menu's $exit ($locale)" first
done
echo "first hour: all checks passed"
