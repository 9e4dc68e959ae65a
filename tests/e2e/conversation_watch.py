#!/usr/bin/python3
# Reads the client's conversation through the accessibility bus, as a screen reader would, every
# 0.2 s until STOP_FILE exists, and writes each entry the first time it is shown:
# "shown TEXT UNIX_TIME" for every "NAME: TEXT" line from FROM. The control starts over once it
# holds 3,000 bytes, so it is read often enough to see every entry before that.
#   conversation_watch.py PID FROM OUT STOP_FILE
import os
import sys
import time

import pyatspi

pid, sender, out_path, stop_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]


def conversation():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "qornc" or app.get_process_id() != pid:
            continue
        found = pyatspi.findDescendant(app, lambda a: a is not None and a.name == "Messages")
        if found is not None:
            return found.queryText()
    return None


text_of = None
old = ""
prefix = sender + ": "
with open(out_path, "w", buffering=1) as out:
    while not os.path.exists(stop_file):
        try:
            text_of = text_of or conversation()
            new = text_of.getText(0, -1) if text_of else ""
        except Exception:  # the window went away for a moment; look again
            text_of, new = None, old
        now = time.time()
        fresh = new[len(old):] if new.startswith(old) else new
        for line in fresh.splitlines():
            if line.startswith(prefix):
                out.write(f"shown {line[len(prefix):]} {now:.3f}\n")
        old = new
        time.sleep(0.2)
