#!/usr/bin/env bash
# Drives the real client in a real X server (Xvfb) against the reference server on the fixed
# ports, as a person would with mouse and keyboard: the main window comes up, the About box and
# the setup dialog open from the menu, a line typed and sent with Enter reaches the server, and
# the bot's answer shows in the conversation. Screenshots of each step go to OUT_DIR.
# Usage: real_window_check.sh QORNC QORNC_SERVER OUT_DIR. Exits 77 when the X tools are missing.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

[ "${1:-}" = --inside-x ] || rerun_in_x 55 xdotool xprop import convert compare -- "$@"
shift
take_programs_and_shots "$@"

make_work
CLIENT_LOG=$WORK/client.log
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
has_window() { [ -n "$(visible_window "$1")" ]; }
has_no_window() { [ -z "$(visible_window "$1")" ]; }


step "server and client"
start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo && logged "listening on 127.0.0.1:22001" ||
  fail "qornc-server did not start"

CONFIG=$WORK/client
mkdir -p "$CONFIG"
(umask 077 && printf 'userid demo\npassword demo-pass\nserverip 127.0.0.1\n' >"$CONFIG/info.cfg")
printf 'echo\n' >"$CONFIG/list.cfg"
# No session bus is announced: none in the environment, none in the runtime folder.
(cd "$CONFIG" && exec env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK" "$CLIENT_BIN" \
  >"$CLIENT_LOG" 2>&1) &
CLIENT=$!
pids+=("$CLIENT")

within 10 has_window "QOR Network Client" || fail "no main window titled \"QOR Network Client\""
MAIN=$(visible_window "QOR Network Client")
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
echo "main window $WIN_W x $WIN_H at $WIN_X,$WIN_Y"
[ "$WIN_W" -ge 250 ] && [ "$WIN_W" -le 900 ] && [ "$WIN_H" -ge 280 ] && [ "$WIN_H" -le 1000 ] ||
  fail "main window size $WIN_W x $WIN_H is not plausible"
[ "$WIN_H" -gt "$WIN_W" ] || fail "main window is not the tall layout: $WIN_W x $WIN_H"
# A fixed size shows to the window manager as equal minimum and maximum size hints.
hints=$(xprop -id "$MAIN" WM_NORMAL_HINTS)
grep -q "minimum size: $WIN_W by $WIN_H" <<<"$hints" && grep -q "maximum size: $WIN_W by $WIN_H" <<<"$hints" ||
  fail "main window size is not fixed: $hints"

# Widget positions follow from the dialog template (ui/Resources): dialog units scale by the
# font's average character width and height, which the window's size gives back. The menu bar
# sits above the template, so its height is what is left over.
BASE_X=0
for bx in $(seq 3 30); do
  [ $((226 * bx / 4)) -eq "$WIN_W" ] && BASE_X=$bx && break
done
[ "$BASE_X" -gt 0 ] || fail "no character width gives a window $WIN_W wide"
BASE_Y=0
for by in $(seq 6 60); do
  menu=$((WIN_H - 258 * by / 8))
  if [ "$menu" -ge "$by" ] && [ "$menu" -le $((2 * by + 12)) ]; then BASE_Y=$by MENU_H=$menu; fi
done
[ "$BASE_Y" -gt 0 ] || fail "no character height gives a window $WIN_H high"
# Prints the root position of a point given in dialog units.
at() { echo $((WIN_X + $1 * BASE_X / 4)) $((WIN_Y + MENU_H + $2 * BASE_Y / 8)); }
# Prints a crop geometry for a rectangle in dialog units, 3 pixels inside its border.
area() {
  local x=$((WIN_X + $1 * BASE_X / 4 + 3)) y=$((WIN_Y + MENU_H + $2 * BASE_Y / 8 + 3))
  echo "$(($3 * BASE_X / 4 - 6))x$(($4 * BASE_Y / 8 - 6))+$x+$y"
}
click() {
  xdotool mousemove "$1" "$2" click 1
  sleep 0.3
}
crop() { convert "$OUT/$1.png" -crop "$2" +repage "$WORK/$3.png"; }
# Counts the bands of rows with ink in a crop, that is the lines of text it shows.
text_lines() {
  convert "$1" -colorspace Gray -scale "1x$(identify -format %h "$1")!" -depth 8 txt:- |
    awk -F'[()]' 'NR > 1 { ink = ($2 + 0 < 245); if (ink && !was) n++; was = ink } END { print n + 0 }'
}
differs() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != 0 ]; }
conversation_lines() {
  import -window root "$WORK/live.png"
  convert "$WORK/live.png" -crop "$(area 7 108 212 104)" +repage "$WORK/conversation.png"
  [ "$(text_lines "$WORK/conversation.png")" -ge "$1" ]
}

within 5 logged "login demo from 127.0.0.1" || fail "the client did not log in"
within 5 logged "getbuddy demo -> echo: true" || fail "the client did not ask for its contact"
sleep 0.5
shot 01-main-window
crop 01-main-window "$(area 119 9 100 82)" online-before
[ "$(text_lines "$WORK/online-before.png")" -eq 1 ] || fail "the Online list does not show the one contact online"
crop 01-main-window "$(area 7 108 212 104)" conversation-before
[ "$(text_lines "$WORK/conversation-before.png")" -eq 0 ] || fail "the conversation is not empty at start"

step "select echo in the Online list"
read -r px py < <(at 150 9)
click "$px" $((py + 3 + BASE_Y / 2))
shot 02-echo-selected
crop 02-echo-selected "$(area 119 9 100 82)" online-after
differs "$WORK/online-before.png" "$WORK/online-after.png" || fail "clicking echo in the Online list changed nothing"

step "type a line and press Enter"
read -r px py < <(at 113 221)
click "$px" "$py"
xdotool windowfocus "$MAIN" 2>/dev/null || true
xdotool type --delay 20 "hello from the window check"
shot 03-typed
xdotool key Return
within 5 logged "message demo -> echo" || fail "the typed line did not reach the server"
logged "echoed to 127.0.0.1" || fail "the server did not echo the line"
# Our own line and the bot's answer: two lines of text where there were none.
within 5 conversation_lines 2 || fail "the echo did not show in the conversation ($(text_lines "$WORK/conversation.png") line(s))"
cp "$WORK/live.png" "$OUT/04-echo-arrived.png"

step "Help > About..."
click $((WIN_X + 15)) $((WIN_Y + MENU_H / 2))
xdotool key Right Down Return
within 5 has_window "About..." || fail "Help > About... opened no About box"
sleep 0.3
shot 05-about
ABOUT=$(visible_window "About...")
eval "$(xdotool getwindowgeometry --shell "$ABOUT")"
click $((X + 61 * BASE_X / 4)) $((Y + 44 * BASE_Y / 8))
within 3 has_no_window "About..." || fail "OK did not close the About box"

step "Disconnect, then File > Options"
click $(at 197 100)
within 5 logged "logout demo" || fail "Disconnect did not log out"
click $((WIN_X + 15)) $((WIN_Y + MENU_H / 2))
xdotool key Down Return
within 5 has_window "Enter information" || fail "File > Options opened no setup dialog"
sleep 0.3
shot 06-setup
SETUP=$(visible_window "Enter information")
xdotool windowfocus "$SETUP" 2>/dev/null || true
xdotool key Escape
within 3 has_no_window "Enter information" || fail "Escape did not close the setup dialog"

step "exit on SIGTERM"
kill -TERM "$CLIENT"
ended_cleanly "$CLIENT" SIGTERM

step "no bus daemon left behind"
# One the client had launched would carry its environment, this check's runtime folder with it.
launched=()
for pid in $(pgrep -x 'dbus-daemon|dbus-launch'); do
  tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$WORK" && launched+=("$pid")
done
if [ ${#launched[@]} -gt 0 ]; then
  left=$(ps -o args= -p "${launched[*]}")
  kill "${launched[@]}"
  fail "the client left running: $left"
fi
echo "real window: all checks passed; screenshots in $OUT"
