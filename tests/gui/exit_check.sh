#!/usr/bin/env bash
# The real client's ways out, with no one to click anything (offscreen): a termination signal
# ends it within 5 s whatever waits (a message box, the setup dialog, the connect), still logging
# out, and leaves a contact list nobody edited as it was. A second
# copy in the same folder touches nothing and exits non-zero; a crashed copy's lock is taken over.
# Usage: exit_check.sh QORNC QORNC_SERVER. Runs on the fixed ports 22001/22002.
set -uo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

CLIENT_BIN=$(realpath "${1:?usage: $0 QORNC QORNC_SERVER}")
SERVER_BIN=$(realpath "${2:?usage: $0 QORNC QORNC_SERVER}")
need_tools python3

make_work

# A folder of its own per case: info.cfg for USER and a list.cfg with LF ends, which an exit
# without an edit must leave byte for byte.
folder() { # name user
  mkdir -p "$WORK/$1"
  printf 'userid %s\npassword pw\nserverip 127.0.0.1\n' "$2" >"$WORK/$1/info.cfg"
  printf 'alice\nbob\n' >"$WORK/$1/list.cfg"
}
start() { # name: the client in its folder, offscreen; sets PID
  (cd "$WORK/$1" && exec env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK" "$CLIENT_BIN" \
    >"$WORK/$1/out.log" 2>"$WORK/$1/err.log") &
  PID=$!
  pids+=("$PID")
}
# Sends the signal, then expects the end within 5 s with status 0.
end_by() { kill -s "$1" "$2"; ended_cleanly "$2" "$1, $3"; } # signal pid what
kept() { [ "$(od -An -c "$WORK/$1/list.cfg" | tr -d ' \n')" = 'alice\nbob\n' ]; }

start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo && logged "listening on 127.0.0.1:22001" ||
  fail "qornc-server did not start"

step "SIGTERM with the over-long list notice open"
folder long u1
seq -f 'contact%05g' 1 600 >"$WORK/long/list.cfg"
cp "$WORK/long/list.cfg" "$WORK/long-list.before"
start long
within 5 logged "login u1 from" || fail "no login"
sleep 1 # the notice is shown after the login
end_by TERM "$PID" "notice open"
within 2 logged "logout u1" || fail "no logout after SIGTERM"
cmp -s "$WORK/long/list.cfg" "$WORK/long-list.before" || fail "the unchanged over-long list.cfg was rewritten"

step "SIGINT with the setup dialog of a first run open"
folder first u2
printf 'userid default\npassword default\nserverip 127.0.0.1\n' >"$WORK/first/info.cfg"
start first
sleep 1.5
end_by INT "$PID" "setup dialog open"
logged "login default" && fail "the first run logged in although its setup was never confirmed"
[ "$(cat "$WORK/first/list.cfg")" = $'alice\nbob' ] || fail "a first run ended in its setup dialog changed list.cfg"

step "SIGHUP with list.cfg gone from under an unedited list: nothing is written, nothing reported"
folder unsaved u3
start unsaved
within 5 logged "login u3 from" || fail "no login"
rm "$WORK/unsaved/list.cfg" && mkdir "$WORK/unsaved/list.cfg" # a directory in its place
end_by HUP "$PID" "save failing"
within 2 logged "logout u3" || fail "no logout after SIGHUP"
grep -q "Error saving file" "$WORK/unsaved/err.log" && fail "an unedited list was written at exit"
[ -d "$WORK/unsaved/list.cfg" ] || fail "the folder put in list.cfg's place was replaced"

step "SIGTERM during the connect wait"
kill -TERM "$SERVER" && wait "$SERVER"
start_stalled_listener
folder stalled u4
start stalled
sleep 1.5
end_by TERM "$PID" "connect wait"
kept stalled || fail "the unedited list.cfg was rewritten after a signal in the connect wait"
kill -KILL "$STALL"
wait "$STALL" 2>/dev/null

# A later start in FOLDER while the copy FIRST runs there: it hands over and ends with status 0,
# one line on standard error, the settings untouched and no login of its own.
second_start() { # folder user logins-expected
  cp -p "$WORK/$1/info.cfg" "$WORK/$1/list.cfg" "$WORK/"
  start "$1"
  handed_over "$PID" "$WORK/$1/err.log" "$WORK/$1"
  sleep 1
  [ "$(logged_times "login $2")" -eq "$3" ] || fail "the second copy logged in"
  cmp -s "$WORK/info.cfg" "$WORK/$1/info.cfg" && cmp -s "$WORK/list.cfg" "$WORK/$1/list.cfg" ||
    fail "the second copy touched the settings"
  gone "$FIRST" && fail "the first copy ended"
}

step "a second copy in a folder whose path is too long for a socket's address hands over"
start_server "$SERVER_BIN" --listen 127.0.0.1 --bot echo && logged "listening on 127.0.0.1:22001" ||
  fail "qornc-server did not restart"
SHARED=deep/$(printf 'f%.0s' $(seq 120))
folder "$SHARED" u5
start "$SHARED"
FIRST=$PID
within 5 logged "login u5 from" || fail "no login of the first copy"
second_start "$SHARED" u5 1

step "a crashed copy's lock and socket are taken over"
kill -KILL "$FIRST"
wait "$FIRST" 2>/dev/null
[ -n "$(find "$WORK" -maxdepth 1 -name 'qornc-*.sock' -type s)" ] || fail "the crashed copy left no socket behind"
start "$SHARED"
FIRST=$PID
within 5 logged "login u5 from" 2 || fail "a copy after a crashed one did not start"
second_start "$SHARED" u5 2
end_by TERM "$FIRST" "after a takeover"
kept "$SHARED" || fail "the unedited list.cfg was rewritten after the takeover"
echo "exit check: all passed"
