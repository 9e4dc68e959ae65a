#!/usr/bin/env bash
# The client on a desktop with a notification area (Xvfb, openbox, trayer), as a new user meets
# it: with no tray at start the window shows and a later panel gets the icon, an X panel or a
# StatusNotifier tray on the session bus (a fake of our own), and when that tray goes away the
# hidden window comes back; the first run's setup dialog, then the icon in the tray and no window;
# a press on the icon alone shows nothing, its release shows the window (with its icon), a double
# click toggles it once; a message while the window is hidden makes the tray slot alternate
# between the alert picture and the normal one; a second start in the same folder brings the
# hidden window up and exits 0; with the server gone the slot shows the offline picture; killing
# the panel brings the window back, and a second start brings it back from being minimised.
# (Signals with a dialog open are the exit check's.) Screenshots of each step go to OUT_DIR.
# Usage: tray_check.sh QORNC QORNC_SERVER OUT_DIR. Exits 77 when a tool is missing.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

[ "${1:-}" = --inside-x ] || rerun_in_x 110 openbox trayer xdotool xprop xwininfo import convert dbus-daemon -- "$@"
shift
/usr/bin/python3 -c 'import gi' 2>/dev/null || skip "python3-gi is not installed"
take_programs_and_shots "$@"

make_work
CONFIG=$WORK/client
on_fail() { shot failure; }
# Window searches ignore case: the tray's own window is called qornc.
window_of() { xdotool search --all --onlyvisible --pid "${2:-$CLIENT}" --name "^$1\$" 2>/dev/null | head -n1; }
shown() { [ -n "$(window_of "$@")" ]; }
not_shown() { [ -z "$(window_of "$@")" ]; }

# The body colours of the normal, alert and offline (greyed) pictures.
declare -A BODY=([normal]='#3A7BD5' [alert]='#F5A623' [offline]='#B9B9B9')
pixels_like() { # image colour: how many of its pixels are close to the colour
  convert "$1" -alpha off -fuzz 12% -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info:
}
# image normal|alert|offline: that picture's colour fills it, and the other pictures' blue or
# orange is absent (a scaled icon's smoothed edges have greys of their own).
picture_is() {
  local name
  [ "$(pixels_like "$1" "${BODY[$2]}")" -ge 60 ] || return 1
  for name in normal alert; do
    [ "$name" = "$2" ] || [ "$(pixels_like "$1" "${BODY[$name]}")" -eq 0 ] || return 1
  done
}
showing() { # normal|alert|offline: the tray slot shows that picture; the capture is in screen.png
  local geometry=$(slot)
  [ -n "$geometry" ] && import -window root "$WORK/screen.png" &&
    convert "$WORK/screen.png" -crop "$geometry" +repage "$WORK/slot.png" && picture_is "$WORK/slot.png" "$1"
}
start_client() { # log name
  (cd "$CONFIG" && exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK" "$CLIENT_BIN" >"$WORK/$1.log" 2>&1) &
  CLIENT=$!
  pids+=("$CLIENT")
}
# A later start in the folder of the running copy: it ends with status 0 after one line on
# standard error, shows no window of its own, and the running copy's window is shown and active.
second_start() { # log name
  local first=$CLIENT second window
  start_client "$1"
  second=$CLIENT CLIENT=$first
  handed_over "$second" "$WORK/$1.log" "$CONFIG"
  within 3 shown "QOR Network Client" || fail "the second start did not bring the window up"
  window=$(window_of "QOR Network Client")
  within 3 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ]' ||
    fail "the window the second start brought up is not the active one"
}

mkdir -p "$CONFIG"
openbox >"$WORK/openbox.log" 2>&1 &
pids+=($!)
start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo && logged "listening on 127.0.0.1:22001" ||
  fail "qornc-server did not start"

step "no tray at start: the window stays shown, a StatusNotifier tray 3 s later gets the icon"
printf 'userid early\npassword pw\nserverip 127.0.0.1\n' >"$CONFIG/info.cfg"
start_session_bus # for the StatusNotifier tray
start_client early
within 10 shown "QOR Network Client" || fail "without a tray the window did not show"
sleep 3
start_fake tray "$WORK"
within 5 grep -q '^icon' "$WORK/tray.log" || fail "a StatusNotifier tray started 3 s after the client did not get its icon"
picture_is "$WORK/icon.ppm" normal || fail "the StatusNotifier tray does not show the normal picture"
grep -qx 'tooltip QORNC' "$WORK/tray.log" || fail "the StatusNotifier tray's tooltip is not \"QORNC\""
kill -USR1 "$FAKE"
within 3 not_shown "QOR Network Client" || fail "a click on the StatusNotifier icon did not hide the window"
kill -USR2 "$FAKE" # the host goes, the watcher stays
within 3 shown "QOR Network Client" || fail "the window stayed hidden when the StatusNotifier host went away"
kill -USR2 "$FAKE"
within 5 eval '[ "$(grep -c "^item" "$WORK/tray.log")" -eq 2 ]' || fail "a StatusNotifier host that came back got no icon"
kill -USR1 "$FAKE"
within 3 not_shown "QOR Network Client" || fail "a click on the new StatusNotifier icon did not hide the window"
kill -TERM "$FAKE"
within 3 shown "QOR Network Client" || fail "the window stayed hidden when the StatusNotifier tray went away"
unset DBUS_SESSION_BUS_ADDRESS
kill -TERM "$CLIENT"
within 5 gone "$CLIENT" || fail "the client did not end on SIGTERM"

step "no tray at start: an X panel started later gets the icon"
start_client early-x
within 10 shown "QOR Network Client" || fail "without a tray the window did not show"
start_trayer
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
# grep reads it all: the icon property is long now, and a grep that quits early breaks the pipe.
xprop -id "$(window_of "QOR Network Client")" _NET_WM_ICON | grep "Icon (32 x 32)" >/dev/null ||
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

step "a second start while the window is hidden behind the icon brings it up"
click_slot click 1
within 3 not_shown "QOR Network Client" || fail "a click did not hide the window"
second_start second
shot 05-second-start
[ "$(logged_times "login demo")" -eq 1 ] || fail "the second start logged in"

step "the server stops: the slot shows the offline picture"
sleep 0.5 # the click before the second start was so recent that this one would make a double click
click_slot click 1
within 3 not_shown "QOR Network Client" || fail "a click did not hide the window"
kill -TERM "$SERVER" && wait "$SERVER"
within 5 showing offline || fail "the tray slot does not show the offline picture once the server is gone"
cp "$WORK/screen.png" "$OUT/06-tray-offline.png"

step "the panel goes away: the hidden window comes back; a second start brings it back from minimised"
kill -TERM "$TRAYER" && wait "$TRAYER"
within 5 shown "QOR Network Client" || fail "the window stayed hidden when the panel went away"
shot 07-panel-gone
xdotool windowminimize --sync "$(window_of "QOR Network Client")"
within 3 not_shown "QOR Network Client" || fail "the window could not be minimised"
second_start third
echo "tray: all checks passed; screenshots in $OUT"
