#!/usr/bin/env bash
# Two users, one server, each on a host of its own: network namespaces stand in for the three
# machines, since both clients must listen on the fixed notification port 22002. Alice types a
# line to Bob in her real window; the test passes when Bob's real window shows it.
#   two_clients.sh QORNC_BINARY QORNC_SERVER_BINARY
# Exit 77 (skipped) without root, network namespaces, Xvfb, xdotool or Tk.
set -u
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"

client_bin=$1
server_bin=$2
deadline=$((SECONDS + 50))

[[ $(id -u) == 0 ]] || skip "needs root for network namespaces"
need_tools ip Xvfb xdotool xwininfo
# Debian's python3-tk serves /usr/bin/python3, which need not be the python3 found first.
tk_python=
for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c 'import tkinter' 2>/dev/null; then tk_python=$candidate; break; fi
done
[[ -n $tk_python ]] || skip "no python3 with tkinter to read the clipboard (python3-tk)"

tag=$(( $$ % 100000 ))
ns_srv=qornc-e2e-srv-$tag
ns_a=qornc-e2e-a-$tag
ns_b=qornc-e2e-b-$tag
make_work
on_cleanup() {
    for ns in "$ns_a" "$ns_b" "$ns_srv"; do ip netns del "$ns" 2>/dev/null; done
}

ip netns add "$ns_srv" 2>/dev/null || skip "ip netns is not available here"
ip netns add "$ns_a" && ip netns add "$ns_b" || fail "could not create the namespaces"

# The server's namespace holds one end of each pair; nothing here is routed anywhere else.
link() { # client-namespace subnet
    local ns=$1 net=$2 srv_end=qe${tag}s$2 cli_end=qe${tag}c$2
    ip link add "$srv_end" type veth peer name "$cli_end" || return 1
    ip link set "$srv_end" netns "$ns_srv" && ip link set "$cli_end" netns "$ns" || return 1
    ip -n "$ns_srv" addr add "10.231.$net.1/30" dev "$srv_end" && ip -n "$ns_srv" link set "$srv_end" up || return 1
    ip -n "$ns" addr add "10.231.$net.2/30" dev "$cli_end" && ip -n "$ns" link set "$cli_end" up || return 1
    ip -n "$ns" link set lo up
}
ip -n "$ns_srv" link set lo up
link "$ns_a" 1 && link "$ns_b" 2 || fail "could not join the namespaces"

wait_for() { # description command...
    local what=$1; shift
    until "$@"; do
        (( SECONDS < deadline )) || fail "timed out waiting for $what"
        sleep 0.2
    done
}
logged_like() { grep -Eq "$1" "$SERVER_LOG"; }

start_server ip netns exec "$ns_srv" "$server_bin" --port 22001 --notify-port 22002 ||
    fail "timed out waiting for the server"

# One X server for both windows; clients in other namespaces reach it through its socket file.
# Xvfb writes its display number and a line end once it accepts clients: wait for the whole line.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
pids+=($!)
wait_for "Xvfb" grep -qx '[0-9][0-9]*' "$WORK/display"
display=:$(cat "$WORK/display")

start_client() { # name password namespace server-address contact
    local dir=$WORK/$1
    mkdir -p "$dir"
    printf 'userid %s\r\npassword %s\r\nserverip %s\r\n' "$1" "$2" "$4" >"$dir/info.cfg"
    printf '%s\r\n' "$5" >"$dir/list.cfg"
    (cd "$dir" && exec ip netns exec "$3" env DISPLAY="$display" QT_QPA_PLATFORM=xcb QT_USE_NATIVE_WINDOWS=1 \
        "$client_bin" >"$dir/out.log" 2>&1) &
    pids+=($!)
    last_pid=$!
}

start_client bob pw-b "$ns_b" 10.231.2.1 alice
bob_pid=$last_pid
wait_for "Bob's login" logged_like '^.*login bob from 10\.231\.2\.2$'
start_client alice pw-a "$ns_a" 10.231.1.1 bob
alice_pid=$last_pid
wait_for "Alice's login" logged_like '^.*login alice from 10\.231\.1\.2$'
# Alice's start-up refresh asks for Bob, and the answer goes to her own address.
wait_for "Alice's presence refresh" logged_like 'getbuddy alice -> bob: true'

window_of() { xdotool search --all --pid "$1" --name 'QOR Network Client' 2>/dev/null | head -1; }
wait_for "Alice's window" bash -c "DISPLAY=$display xdotool search --all --pid $alice_pid --name 'QOR Network Client' >/dev/null"
wait_for "Bob's window" bash -c "DISPLAY=$display xdotool search --all --pid $bob_pid --name 'QOR Network Client' >/dev/null"
export DISPLAY=$display
alice_win=$(window_of "$alice_pid")
bob_win=$(window_of "$bob_pid")

# Qt gives every widget a native window here (QT_USE_NATIVE_WINDOWS), so the controls can be
# told apart by their geometry: below the menu bar, the three full-width ones are the conversation (tallest), the
# input line and the status line, top to bottom; the Online list is the right one of the two
# tall lists.
control() { # window conversation|input|online
    xwininfo -children -id "$1" | awk -v want="$2" '
        match($0, /[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+/) {
            split(substr($0, RSTART, RLENGTH), g, /[x+]/)
            if (g[3] + 0 == 0 && g[4] + 0 == 0) next # the menu bar
            n++; id[n] = $1; w[n] = g[1] + 0; h[n] = g[2] + 0; x[n] = g[3] + 0; y[n] = g[4] + 0
            if (w[n] > maxw) maxw = w[n]
        }
        END {
            for (i = 1; i <= n; i++) if (w[i] == maxw && h[i] > ch) { ch = h[i]; conv = i }
            for (i = 1; i <= n; i++) if (w[i] == maxw && i != conv && (input == 0 || y[i] < y[input])) input = i
            for (i = 1; i <= n; i++) if (w[i] < maxw && (h[i] > lh || (h[i] == lh && x[i] > x[list]))) { lh = h[i]; list = i }
            pick = want == "conversation" ? conv : want == "input" ? input : list
            if (pick) print id[pick]
        }'
}

alice_online=$(control "$alice_win" online)
alice_input=$(control "$alice_win" input)
bob_conversation=$(control "$bob_win" conversation)
[[ -n $alice_online && -n $alice_input && -n $bob_conversation ]] || fail "controls not found"

# The presence answer reaches Alice's Online list on the next idle-pump pass.
sleep 1
line="hello bob from alice $tag"
xdotool mousemove --window "$alice_online" 30 8 click 1
sleep 0.3
xdotool mousemove --window "$alice_input" 30 8 click 1
sleep 0.3
xdotool type --delay 5 "$line"
xdotool key Return

wait_for "the server to deliver Alice's line to Bob's address" \
    logged_like "message alice -> bob \(${#line} bytes\) delivered to 10\.231\.2\.2$"

# Bob's own window must show it: copy his conversation through the X clipboard.
read_bob_conversation() {
    xdotool mousemove --window "$bob_conversation" 30 30 click 1
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    "$tk_python" - <<'PY' >"$WORK/bob-conversation.txt" 2>/dev/null
import tkinter
root = tkinter.Tk()
root.withdraw()
print(root.clipboard_get())
PY
    grep -Fq "alice: $line" "$WORK/bob-conversation.txt"
}
wait_for "Bob's window to show Alice's line" read_bob_conversation
grep -q 'dropped\|refused' "$SERVER_LOG" && fail "the server dropped or refused something"
echo "--- server log"; cat "$SERVER_LOG"
echo "--- Bob's conversation"; cat "$WORK/bob-conversation.txt"
echo "e2e: 1 passed, 0 failed"
