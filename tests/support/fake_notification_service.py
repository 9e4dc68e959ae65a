#!/usr/bin/python3
"""A desktop notification service of our own, for the checks: it owns org.freedesktop.Notifications
on the session bus, logs "notify ID SUMMARY" for each notification on standard output, and on
SIGUSR1 does what a click on the latest one does: it sends ActivationToken with the token in the
file TOKEN_FILE, then ActionInvoked with the default action.
Usage: fake_notification_service.py TOKEN_FILE"""
import signal
import sys

from gi.repository import Gio, GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
XML = f"""<node><interface name="{NAME}">
<method name="GetCapabilities"><arg type="as" direction="out"/></method>
<method name="Notify"><arg type="s" direction="in"/><arg type="u" direction="in"/>
<arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/>
<arg type="as" direction="in"/><arg type="a{{sv}}" direction="in"/><arg type="i" direction="in"/>
<arg type="u" direction="out"/></method>
<method name="CloseNotification"><arg type="u" direction="in"/></method>
<signal name="ActivationToken"><arg type="u"/><arg type="s"/></signal>
<signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
</interface></node>"""

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
latest = 0


def on_call(_conn, _sender, _path, _iface, method, params, invocation):
    global latest
    if method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["actions", "body"],)))
    elif method == "Notify":
        args = params.unpack()
        latest = args[1] or latest + 1
        print("notify", latest, args[3], flush=True)
        invocation.return_value(GLib.Variant("(u)", (latest,)))
    else:
        invocation.return_value(None)


def click():
    with open(sys.argv[1]) as token:
        bus.emit_signal(None, PATH, NAME, "ActivationToken", GLib.Variant("(us)", (latest, token.read().strip())))
    bus.emit_signal(None, PATH, NAME, "ActionInvoked", GLib.Variant("(us)", (latest, "default")))
    print("clicked", latest, flush=True)
    return GLib.SOURCE_CONTINUE


bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], on_call, None, None)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, click)
loop = GLib.MainLoop()
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
Gio.bus_own_name_on_connection(bus, NAME, Gio.BusNameOwnerFlags.DO_NOT_QUEUE,
                               lambda *_: print("serving", flush=True), lambda *_: loop.quit())
loop.run()
