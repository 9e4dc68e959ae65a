#!/usr/bin/python3
# The client's window read and driven through the accessibility bus, as a screen reader does.
# Each call prints what it found and exits 1 when the window is not there or the control lacks.
# QORNC_PID, when set, names the client process whose window is meant.
#   status               the status line's text
#   buttons              the names of the shown push buttons, one a line
#   enabled NAME         "yes" or "no" for the push button NAME
#   press NAME           presses the push button NAME
#   answers SECONDS      reads the status line every 0.2 s for SECONDS; prints the slowest answer
#                        in ms, exit 1 if one took a second or more
#   type TEXT            puts TEXT in the input line and gives it the focus
#   where ROW            the screen position "X Y" of the middle of that row of the Online list
#                        (0 first), for a click
#   rows                 the names the Online list shows, one a line
#   selected             the selected rows' names of the Online list, one a line
#   conversation         the conversation's text
import os
import sys
import time

import pyatspi

# The accessible names the client gives its controls, in English and as translated.
STATUS, INPUT, CONVERSATION = "Status", "Message to send", "Messages"
args = sys.argv[1:]


def window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.name != "qornc":
            continue
        if "QORNC_PID" in os.environ and app.get_process_id() != int(os.environ["QORNC_PID"]):
            continue  # a copy that ended may linger on the bus for a moment
        for frame in app:
            if frame is not None and frame.getRoleName() in ("dialog", "frame", "window"):
                return frame
    sys.exit("no qornc window on the accessibility bus")


def find(root, role, name=None):
    found = pyatspi.findDescendant(
        root, lambda a: a is not None and a.getRole() == role and (name is None or a.name == name))
    if found is None:
        sys.exit(f"no {pyatspi.Role(role)} named {name}")
    return found


def shown_buttons(root):
    return pyatspi.findAllDescendants(
        root, lambda a: a is not None and a.getRole() == pyatspi.ROLE_PUSH_BUTTON
        and a.getState().contains(pyatspi.STATE_SHOWING))


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def named(root, name):
    found = pyatspi.findDescendant(root, lambda a: a is not None and a.name == name)
    if found is None:
        sys.exit(f"nothing named {name}")
    return found


def status(root):
    return text_of(named(root, STATUS))


def online(root):
    return pyatspi.findDescendant(root, lambda a: a is not None and a.getRole() in (
        pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE) and a.name == "Online")


command = args[0]
root = window()
if command == "status":
    print(status(root))
elif command == "buttons":
    for button in shown_buttons(root):
        print(button.name)
elif command == "enabled":
    button = find(root, pyatspi.ROLE_PUSH_BUTTON, args[1])
    print("yes" if button.getState().contains(pyatspi.STATE_ENABLED) else "no")
elif command == "press":
    find(root, pyatspi.ROLE_PUSH_BUTTON, args[1]).queryAction().doAction(0)
elif command == "answers":
    slowest = 0.0
    end = time.monotonic() + float(args[1])
    while time.monotonic() < end:
        start = time.monotonic()
        status(root)
        slowest = max(slowest, time.monotonic() - start)
        time.sleep(0.2)
    print(int(slowest * 1000))
    sys.exit(0 if slowest < 1.0 else 1)
elif command == "type":
    line = named(root, INPUT)
    line.queryEditableText().setTextContents(args[1])
    line.queryComponent().grabFocus()
elif command == "where":
    box = online(root)[int(args[1])].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(box.x + box.width // 2, box.y + box.height // 2)
elif command == "rows":
    for row in online(root):
        print(row.name)
elif command == "selected":
    for row in online(root):
        if row.getState().contains(pyatspi.STATE_SELECTED):
            print(row.name)
elif command == "conversation":
    print(text_of(named(root, CONVERSATION)))
else:
    sys.exit(f"unknown command {command}")
