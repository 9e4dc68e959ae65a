#!/usr/bin/python3
# Follows the client's conversation through the accessibility bus, as a screen reader would, until
# STOP_FILE exists, and writes each entry the first time it is shown: "shown TEXT UNIX_TIME" for
# every "NAME: TEXT" line from FROM. The control starts over once it holds 3,000 bytes, which can
# happen between two reads of it, so every change is followed through the text-changed events
# rather than by reading the whole text now and then.
#   conversation_watch.py PID FROM OUT STOP_FILE
import os
import sys
import time

import pyatspi
from gi.repository import GLib

pid, sender, out_path, stop_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
prefix = sender + ": "
out = open(out_path, "w", buffering=1)
mirror = ""
shown = ""


def is_conversation(accessible):
    try:
        return accessible.name == "Messages" and accessible.get_process_id() == pid
    except Exception:
        return False


def report_new():
    # What the control shows now, against what it showed before: appended lines, or a new start.
    global shown
    fresh = mirror[len(shown):] if mirror.startswith(shown) else mirror
    now = time.time()
    for line in fresh.splitlines():
        if line.startswith(prefix):
            out.write(f"shown {line[len(prefix):]} {now:.3f}\n")
    shown = mirror


def on_change(event):
    global mirror
    if not is_conversation(event.source):
        return
    offset, length, text = event.detail1, event.detail2, str(event.any_data or "")
    if event.type.endswith("insert"):
        mirror = mirror[:offset] + text + mirror[offset:]
        report_new()
    else:
        mirror = mirror[:offset] + mirror[offset + length:]


def check_stop():
    if os.path.exists(stop_file):
        pyatspi.Registry.stop()
        return False
    return True


pyatspi.Registry.registerEventListener(on_change, "object:text-changed:insert", "object:text-changed:delete")
GLib.timeout_add(200, check_stop)
pyatspi.Registry.start()
