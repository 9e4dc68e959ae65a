#!/usr/bin/python3
# Desktop services of our own on the session bus, for the checks; each says "serving" once it
# owns its name, then logs what it sees on standard output.
#   tray OUT_DIR: a StatusNotifier tray, owner of org.kde.StatusNotifierWatcher and its host. For
#     each item that registers it logs "item SERVICE" and "tooltip TEXT" and writes the item's
#     largest IconPixmap to OUT_DIR/icon.ppm (over black). SIGUSR1 activates the latest item (a
#     left click); SIGUSR2 takes the host away, or brings it back, as a panel that stops showing
#     items does.
#   notifications TOKEN_FILE: org.freedesktop.Notifications, logging "notify ID SUMMARY". SIGUSR1
#     does what a click on the latest notification does: ActivationToken with the token in
#     TOKEN_FILE, then ActionInvoked with the default action.
import signal
import sys

from gi.repository import Gio, GLib

SNI_WATCHER = "org.kde.StatusNotifierWatcher"
SNI_ITEM = "org.kde.StatusNotifierItem"
NOTIFICATIONS = "org.freedesktop.Notifications"
SERVICES = {  # role: (bus name, object path, interface)
    "tray": (SNI_WATCHER, "/StatusNotifierWatcher", f"""<interface name="{SNI_WATCHER}">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<signal name="StatusNotifierHostRegistered"/><signal name="StatusNotifierHostUnregistered"/>
</interface>"""),
    "notifications": (NOTIFICATIONS, "/org/freedesktop/Notifications", f"""<interface name="{NOTIFICATIONS}">
<method name="GetCapabilities"><arg type="as" direction="out"/></method>
<method name="Notify"><arg type="s" direction="in"/><arg type="u" direction="in"/>
<arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/>
<arg type="as" direction="in"/><arg type="a{{sv}}" direction="in"/><arg type="i" direction="in"/>
<arg type="u" direction="out"/></method>
<signal name="ActivationToken"><arg type="u"/><arg type="s"/></signal>
<signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
</interface>"""),
}
role, argument = sys.argv[1], sys.argv[2]
name, path, xml = SERVICES[role]
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
sys.stdout.reconfigure(line_buffering=True)  # the checks read the log as it grows
items = []  # the tray's items as (bus name, object path), latest last
host = True
latest = 0  # the latest notification's id


def emit(signal_name, args=None):
    bus.emit_signal(None, path, name, signal_name, args)


def show(item):
    """Reads what a tray item shows, as a panel does when the item registers."""
    def get(prop):
        return bus.call_sync(item[0], item[1], "org.freedesktop.DBus.Properties", "Get",
                             GLib.Variant("(ss)", (SNI_ITEM, prop)), None, 0, 2000, None).unpack()[0]
    print("tooltip", get("ToolTip")[2])
    width, height, argb = max(get("IconPixmap"), key=lambda p: p[0] * p[1])
    rgb = bytearray()
    for i in range(0, len(argb), 4):  # ARGB32 in network byte order, composed over black
        rgb += bytes(c * argb[i] // 255 for c in argb[i + 1:i + 4])
    with open(f"{argument}/icon.ppm", "wb") as ppm:
        ppm.write(b"P6 %d %d 255\n" % (width, height) + bytes(rgb))
    print("icon", f"{width}x{height}")


def on_call(_conn, sender, _path, _iface, method, params, invocation):
    global latest
    args = params.unpack()
    if method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["actions", "body"],)))
    elif method == "Notify":
        latest = args[1] or latest + 1
        print("notify", latest, args[3])
        invocation.return_value(GLib.Variant("(u)", (latest,)))
    else:
        invocation.return_value(None)
    if method == "RegisterStatusNotifierItem":
        items.append((sender, args[0]) if args[0].startswith("/") else (args[0], "/StatusNotifierItem"))
        print("item", items[-1][0])
        show(items[-1])


def click():
    if role == "tray":
        bus.call(items[-1][0], items[-1][1], SNI_ITEM, "Activate", GLib.Variant("(ii)", (10, 10)), None, 0,
                 2000, None, None)
    else:
        with open(argument) as token:
            emit("ActivationToken", GLib.Variant("(us)", (latest, token.read().strip())))
        emit("ActionInvoked", GLib.Variant("(us)", (latest, "default")))
    return GLib.SOURCE_CONTINUE


def toggle_host():
    global host
    host = not host
    emit("StatusNotifierHostRegistered" if host else "StatusNotifierHostUnregistered")
    return GLib.SOURCE_CONTINUE


bus.register_object(path, Gio.DBusNodeInfo.new_for_xml(f"<node>{xml}</node>").interfaces[0], on_call,
                    lambda *_: GLib.Variant("b", host), None)
loop = GLib.MainLoop()
for number, handler in ((signal.SIGUSR1, click), (signal.SIGUSR2, toggle_host), (signal.SIGTERM, loop.quit)):
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, number, handler)
Gio.bus_own_name_on_connection(bus, name, Gio.BusNameOwnerFlags.DO_NOT_QUEUE, lambda *_: print("serving"),
                               lambda *_: loop.quit())
loop.run()
