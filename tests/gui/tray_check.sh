#!/usr/bin/env bash
# The client on a desktop with a notification area (Xvfb, openbox, trayer), as a new user meets
# it: with no tray at start the window shows and a later panel gets the icon; the first run's
# setup dialog, then the icon in the tray and no window; a press on the icon
# alone shows nothing, its release shows the window (with its icon), a double click toggles it
# once; a message while the window is hidden makes the tray slot alternate between the alert
# picture and the normal one; a second copy in the same folder says so in a box and exits; the
# About box does not hold up SIGTERM. Screenshots of each step go to OUT_DIR.
# Usage: tray_check.sh QORNC QORNC_SERVER OUT_DIR. Exits 77 when a tool is missing.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

[ "${1:-}" = --inside-x ] || rerun_in_x 80 openbox trayer xdotool xprop xwininfo import convert -- "$@"
shift
take_programs_and_shots "$@"

make_work
CONFIG=$WORK/client
on_fail() { shot failure; }
# Window searches ignore case: the tray's own window is called qornc.
window_of() { xdotool search --all --onlyvisible --pid "${2:-$CLIENT}" --name "^$1\$" 2>/dev/null | head -n1; }
shown() { [ -n "$(window_of "$@")" ]; }
not_shown() { [ -z "$(window_of "$@")" ]; }

# The tray slot: the window trayer embedded for the client, as root geometry WxH+X+Y.
slot() {
  xwininfo -root -tree | awk '/"qornc": \("qornc" "qornc"\)/ && $5 ~ /^[0-9]+x[0-9]+\+/ {
    split($5, size, /[x+]/); if (size[1] <= 64 && size[2] <= 64) { print size[1] "x" size[2] $6; exit } }'
}
# Counts the pixels of the last capture's slot close to a colour of one of the icons' palettes.
pixels_like() {
  convert "$WORK/screen.png" -crop "$(slot)" +repage -alpha off -fuzz 12% \
    -fill black +opaque "$1" -fill white -opaque "$1" -format '%[fx:round(mean*w*h)]' info:
}
NORMAL='#3A7BD5' ALERT='#F5A623' # the two icons' body colours
showing() { # normal|alert: that icon's colour fills the slot and the other's is absent
  local want=$NORMAL other=$ALERT
  [ "$1" = alert ] && want=$ALERT other=$NORMAL
  [ -n "$(slot)" ] && import -window root "$WORK/screen.png" &&
    [ "$(pixels_like "$want")" -ge 60 ] && [ "$(pixels_like "$other")" -eq 0 ]
}
click_slot() { # xdotool arguments after moving onto the slot's centre
  local geometry=$(slot)
  local w=${geometry%%x*} rest=${geometry#*x}
  local h=${rest%%+*} x=${rest#*+}
  local y=${x#*+}
  x=${x%%+*}
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) "$@"
}
# Sends a NUL-padded request block of SIZE bytes on the connection on fd 3.
block() { printf '%s' "$1" >&3; head -c $((256 - ${#1})) /dev/zero >&3; }

start_client() { # log name
  (cd "$CONFIG" && exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK" "$CLIENT_BIN" >"$WORK/$1.log" 2>&1) &
  CLIENT=$!
  pids+=("$CLIENT")
}

mkdir -p "$CONFIG"
openbox >"$WORK/openbox.log" 2>&1 &
pids+=($!)
start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo && logged "listening on 127.0.0.1:22001" ||
  fail "qornc-server did not start"

step "no tray at start: the window stays shown, and a panel started later gets the icon"
printf 'userid early\npassword pw\nserverip 127.0.0.1\n' >"$CONFIG/info.cfg"
start_client early
within 10 shown "QOR Network Client" || fail "without a tray the window did not show"
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >"$WORK/trayer.log" 2>&1 &
pids+=($!)
within 5 showing normal || fail "a panel started after the client did not get its icon"
kill -TERM "$CLIENT"
within 5 gone "$CLIENT" || fail "the client did not end on SIGTERM"

step "first run: the setup dialog comes first"
printf 'userid default\npassword default\nserverip 127.0.0.1\n' >"$CONFIG/info.cfg"
printf 'echo\n' >"$CONFIG/list.cfg"
start_client client
within 10 shown "Enter information" || fail "no setup dialog on the first run"
sleep 0.3
xdotool windowfocus --sync "$(window_of "Enter information")" key ctrl+a type demo
xdotool key Tab ctrl+a type demo-pass
shot 01-first-run
xdotool key Return
within 5 logged "login demo from 127.0.0.1" || fail "no login after the setup dialog"

step "the icon in the tray, no window"
within 5 showing normal || fail "the tray slot does not show the normal icon ($(slot))"
sleep 0.5
not_shown "QOR Network Client" || fail "the main window shows before the icon was clicked"
shot 02-tray-idle

step "a press alone does nothing; its release shows the window"
click_slot mousedown 1
sleep 1
not_shown "QOR Network Client" || fail "a press without its release showed the window"
xdotool mouseup 1
within 3 shown "QOR Network Client" || fail "a click on the icon did not show the window"
xprop -id "$(window_of "QOR Network Client")" _NET_WM_ICON | grep -q "Icon (32 x 32)" ||
  fail "the window has no 32 x 32 icon (_NET_WM_ICON)"
shot 03-window-shown

step "a double click toggles once"
click_slot click --repeat 2 --delay 80 1
sleep 1
not_shown "QOR Network Client" || fail "a double click left the window shown (toggled twice)"

step "a message while hidden: the slot blinks"
exec 3<>/dev/tcp/127.0.0.1/22001 || fail "no connection to the server"
block "login bob bob-pass"
block "message bob bob-pass demo are you there?"
within 3 showing alert || fail "the tray slot does not show the alert icon after a message"
cp "$WORK/screen.png" "$OUT/04-tray-alert.png"
within 3 showing normal || fail "the alert icon did not give way to the normal one"
within 3 showing alert || fail "the alert icon did not come back"
exec 3>&-
click_slot click 1
within 3 shown "QOR Network Client" || fail "a click did not show the window"
within 3 showing normal || fail "the alert did not stop when the window showed"
sleep 1.2
showing normal || fail "the icon still blinks after the window showed"

step "a second copy in the same folder"
FIRST=$CLIENT
start_client second
SECOND=$CLIENT
CLIENT=$FIRST
within 5 shown "QORNC" "$SECOND" || fail "the second copy showed no box titled \"QORNC\""
sleep 0.3
shot 05-second-copy
grep -q "QORNC already runs in the folder" "$WORK/second.log" || fail "the second copy said nothing on standard error"
xdotool windowfocus --sync "$(window_of "QORNC" "$SECOND")" key Return
within 3 gone "$SECOND" || fail "the second copy did not exit after its box"
wait "$SECOND" && fail "the second copy exited with status 0"
kill -0 "$CLIENT" 2>/dev/null || fail "the first copy ended"
[ "$(grep -c "login demo" "$SERVER_LOG")" -eq 1 ] || fail "the second copy logged in"

step "SIGTERM with the About box open"
xdotool windowfocus --sync "$(window_of "QOR Network Client")" key alt+h Down Return
within 3 shown "About..." || fail "Help > About... opened no About box"
kill -TERM "$CLIENT"
within 5 gone "$CLIENT" || fail "SIGTERM did not end the client with the About box open"
within 2 logged "logout demo" || fail "no logout after SIGTERM"
[ "$(od -An -c "$CONFIG/list.cfg" | tr -d ' \n')" = 'echo\n' ] || fail "the unedited list.cfg was rewritten at the end"
echo "tray: all checks passed; screenshots in $OUT"
