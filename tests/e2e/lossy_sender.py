#!/usr/bin/python3
# A user who sends a numbered run of messages at a steady rate, speaking the client's protocol:
# one persistent request connection, one NUL-padded 256-byte block per request. A message that
# cannot be handed to the server, because it is down, is refused as the client refuses it, and
# the connection is opened again for the next one.
#   lossy_sender.py HOST PORT NAME PASSWORD RECIPIENT TAG COUNT RATE OUT
# OUT gets one line per message: "sent|refused TAG-NNNN UNIX_TIME".
import select
import socket
import sys
import time

host, port, name, password, recipient, tag = sys.argv[1:7]
count, rate, out_path = int(sys.argv[7]), float(sys.argv[8]), sys.argv[9]
BLOCK = 256


def block(text):
    data = text.encode() + b"\0"
    return data + b"\0" * (BLOCK - len(data))


def connect():
    try:
        sock = socket.create_connection((host, int(port)), timeout=2)
        sock.sendall(block(f"login {name} {password}"))
        return sock
    except OSError:
        return None


def alive(sock):
    # The server never writes on a request connection: anything readable is its end.
    readable, _, _ = select.select([sock], [], [], 0)
    return not readable


sock = connect()
start = time.time()
with open(out_path, "w", buffering=1) as out:
    for seq in range(1, count + 1):
        time.sleep(max(0.0, start + (seq - 1) / rate - time.time()))
        label = f"{tag}-{seq:04d}"
        if sock is not None and not alive(sock):
            sock.close()
            sock = None
        if sock is None:
            sock = connect()
        outcome = "refused"
        if sock is not None:
            try:
                sock.sendall(block(f"message {name} {password} {recipient} {label}"))
                outcome = "sent"
            except OSError:
                sock.close()
                sock = None
        out.write(f"{outcome} {label} {time.time():.3f}\n")
    # Stays logged in until the last one has been read by the server.
    time.sleep(1)
