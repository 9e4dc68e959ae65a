#!/usr/bin/env bash
# Delivery over a poor network to the real client: the server and a scripted sender on one host,
# the real qornc on another, joined by a link that delays every packet 50 ms each way and drops a
# share of them at random (qornc-lossy-link between two network namespaces, as the kernel may
# have no netem). Runs of messages at 10 a second, at 3 % loss, at 20 % loss, and at 3 % across
# a restart of the server in the middle of the run; the user reconnects as a user would. Every
# message the sender could send must be shown in the client's conversation once and in order,
# read through the accessibility bus; every one refused to the sender while the server was down
# must not. Prints counts and latencies (sent to first shown) per run.
#   lossy_link.sh QORNC QORNC_SERVER QORNC_LOSSY_LINK [COUNT_AT_3 COUNT_AT_20 COUNT_RESTARTED]
# The server delivers one text per round trip to a host, and a loss costs a retransmission of a
# second or so, so the link cannot keep up with 10/s: the runs at 20 % and across the restart are
# shorter by default, to keep the check within a few minutes.
# Exit 77 (skipped) without root, network namespaces, TUN, Xvfb, D-Bus or pyatspi.
set -u
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

if [ "${1:-}" != --inside-x ]; then
    [[ $(id -u) == 0 ]] || skip "needs root for network namespaces and TUN devices"
    [ -c /dev/net/tun ] || skip "no /dev/net/tun"
    rerun_in_x 540 ip dbus-daemon -- "$@"
fi
shift
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
CLIENT_BIN=$(realpath "$1")
SERVER_BIN=$(realpath "$2")
LINK_BIN=$(realpath "$3")
COUNT_AT_3=${4:-300}
COUNT_AT_20=${5:-60}
COUNT_RESTARTED=${6:-150}
HERE=$(realpath "$(dirname "$0")")
DELAY_MS=50
DRAIN_S=150 # after the last message was sent, at most this long for the rest to be shown

make_work
tag=$(($$ % 100000))
ns_srv=qornc-lossy-srv-$tag
ns_cli=qornc-lossy-cli-$tag
on_cleanup() {
    exec 4>&- 2>/dev/null # the link's control ends: it stops
    local ns pid
    for ns in "$ns_cli" "$ns_srv"; do
        # What the D-Bus daemons started there on their own (the accessibility bus) goes too.
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null; done
        ip netns del "$ns" 2>/dev/null
    done
    return 0
}
ip netns add "$ns_srv" 2>/dev/null || skip "ip netns is not available here"
ip netns add "$ns_cli" || fail "could not create the namespaces"

step "a link of ${DELAY_MS} ms each way between the server's host and the client's"
mkfifo "$WORK/link.control"
"$LINK_BIN" "/run/netns/$ns_srv" "/run/netns/$ns_cli" qlossy "$DELAY_MS" 0 "$tag" <"$WORK/link.control" \
    >"$WORK/link.log" 2>&1 &
pids+=($!)
exec 4>"$WORK/link.control"
within 5 grep -q '^ready' "$WORK/link.log" || fail "the lossy link did not start"
for side in "$ns_srv 10.232.1.1 10.232.1.2" "$ns_cli 10.232.1.2 10.232.1.1"; do
    read -r ns own peer <<<"$side"
    ip -n "$ns" link set lo up && ip -n "$ns" addr add "$own" peer "$peer" dev qlossy &&
        ip -n "$ns" link set qlossy up || fail "could not set up the link in $ns"
done

STATE=$WORK/state
server_up() {
    start_server ip netns exec "$ns_srv" "$SERVER_BIN" --port 22001 --notify-port 22002 --state-file "$STATE"
}
server_up || fail "the server did not start"

# The client, its session bus and everything that reads it live on the client's host, so that the
# bus's abstract sockets are within reach; the X server is reached through its socket file.
in_client_host() { ip netns exec "$ns_cli" env DBUS_SESSION_BUS_ADDRESS="$BUS" XDG_RUNTIME_DIR="$WORK" "$@"; }
ip netns exec "$ns_cli" dbus-daemon --session --nofork --print-address >"$WORK/bus.address" 2>"$WORK/dbus.log" &
pids+=($!)
within 5 [ -s "$WORK/bus.address" ] || fail "no session bus"
BUS=$(head -n1 "$WORK/bus.address")
CONFIG=$WORK/reader
mkdir -p "$CONFIG"
printf 'userid reader\npassword r pw\nserverip 10.232.1.1\n' >"$CONFIG/info.cfg"
printf 'sender\n' >"$CONFIG/list.cfg"
(cd "$CONFIG" && exec ip netns exec "$ns_cli" env -u LC_ALL -u LC_MESSAGES -u LANGUAGE DBUS_SESSION_BUS_ADDRESS="$BUS" \
    XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$CLIENT_BIN" >"$WORK/client.log" 2>&1) &
CLIENT=$!
pids+=("$CLIENT")
within 20 logged "login reader from 10.232.1.2" || fail "the client did not log in over the link"
probe() { in_client_host env QORNC_PID="$CLIENT" /usr/bin/python3 "$HERE/../gui/atspi_probe.py" "$@" 2>>"$WORK/probe.log"; }
within 20 probe conversation >/dev/null || fail "the client's conversation is not on the accessibility bus"

in_client_host /usr/bin/python3 "$HERE/conversation_watch.py" "$CLIENT" sender "$WORK/shown.txt" "$WORK/stop" \
    >"$WORK/watch.log" 2>&1 &
pids+=($!)

send_run() { # tag count
    ip netns exec "$ns_srv" /usr/bin/python3 "$HERE/lossy_sender.py" 127.0.0.1 22001 sender "s pw" reader \
        "$1" "$2" 10 "$WORK/sent-$1.txt" >"$WORK/sender-$1.log" 2>&1 &
    SENDER=$!
    pids+=("$SENDER")
}
all_shown() { # tag
    local sent shown
    sent=$(grep -c "^sent $1-" "$WORK/sent-$1.txt")
    shown=$(grep -o " $1-[0-9]*" "$WORK/shown.txt" | sort -u | wc -l)
    [ "$shown" -ge "$sent" ]
}
finish_run() { # tag
    local started=$SECONDS
    wait "$SENDER"
    within "$DRAIN_S" all_shown "$1"
    sleep 1 # a duplicate comes after the original: give one a moment to show
    echo "$1: all shown $((SECONDS - started)) s after the last was sent; link: $(echo counts >&4; sleep 0.2; tail -n1 "$WORK/link.log")"
    /usr/bin/python3 "$HERE/delivery_report.py" "$1" "$WORK/sent-$1.txt" "$WORK/shown.txt" || fault "run $1"
}

step "$COUNT_AT_3 messages at 10/s, 3 % loss"
echo "loss 0.03" >&4
send_run a "$COUNT_AT_3"
finish_run a

step "$COUNT_AT_20 messages at 10/s, 20 % loss"
echo "loss 0.20" >&4
send_run b "$COUNT_AT_20"
finish_run b

step "$COUNT_RESTARTED messages at 10/s, 3 % loss, the server restarted in the middle"
echo "loss 0.03" >&4
send_run c "$COUNT_RESTARTED"
sleep $((COUNT_RESTARTED / 20))
cp "$SERVER_LOG" "$WORK/server-before-restart.txt"
kill -TERM "$SERVER" && wait "$SERVER"
echo "server stopped with status $?: $(grep -c 'stopping' "$SERVER_LOG") stopping line(s)"
sleep 2
cat "$SERVER_LOG" >>"$WORK/server-before-restart.txt"
server_up || fail "the server did not start again"
# The user sees the link down and connects again.
within 10 probe press Connect || fault "Connect could not be pressed after the restart"
within 20 logged "login reader from 10.232.1.2" || fault "the client did not log in again"
finish_run c
refused=$(grep -c '^refused' "$WORK/sent-c.txt")
[ "$refused" -gt 0 ] || fault "no message was refused while the server was down"

touch "$WORK/stop"
cat "$WORK/server-before-restart.txt" "$SERVER_LOG" >"$WORK/server-all.txt"
for line in "not delivered within" "tried again" "dropped" "expired" "unacknowledged" "stopping:"; do
    echo "server log: $(grep -c -- "$line" "$WORK/server-all.txt") line(s) with \"$line\""
done
verdict "lossy link: 3 passed, 0 failed"
