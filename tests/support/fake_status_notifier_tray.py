#!/usr/bin/python3
"""A StatusNotifier tray of our own, for the checks: it owns org.kde.StatusNotifierWatcher on the
session bus and is its host. It logs on standard output "item SERVICE" for each item that
registers and "tooltip TEXT" whenever an item's tooltip is read, writes the item's largest
IconPixmap to OUT_DIR/icon.ppm (over black), and on SIGUSR1 activates the latest item (a left
click). SIGUSR2 takes the host away, or brings it back, as a panel that stops showing items does.
Usage: fake_status_notifier_tray.py OUT_DIR"""
import signal
import sys

from gi.repository import Gio, GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
XML = f"""<node><interface name="{WATCHER}">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
<signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
<signal name="StatusNotifierHostRegistered"/>
<signal name="StatusNotifierHostUnregistered"/>
</interface></node>"""

out_dir = sys.argv[1]
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
items = []  # (bus name, object path), latest last
host = True


def log(*words):
    print(*words, flush=True)


def emit(name, args=None):
    bus.emit_signal(None, "/StatusNotifierWatcher", WATCHER, name, args)


def item_property(item, name):
    reply = bus.call_sync(item[0], item[1], "org.freedesktop.DBus.Properties", "Get",
                          GLib.Variant("(ss)", (ITEM, name)), None, 0, 2000, None)
    return reply.unpack()[0]


def show(item):
    """Reads what the item shows, as a panel does on registration and on its New* signals."""
    try:
        pixmaps = item_property(item, "IconPixmap")
        log("tooltip", item_property(item, "ToolTip")[2])
    except GLib.Error as error:
        log("unreadable", error.message)
        return
    if not pixmaps:
        log("no pixmap")
        return
    width, height, argb = max(pixmaps, key=lambda p: p[0] * p[1])
    rgb = bytearray()
    for i in range(0, len(argb), 4):  # ARGB32 in network byte order, composed over black
        a = argb[i]
        rgb += bytes(c * a // 255 for c in argb[i + 1:i + 4])
    with open(f"{out_dir}/icon.ppm", "wb") as ppm:
        ppm.write(b"P6 %d %d 255\n" % (width, height) + bytes(rgb))
    log("icon", f"{width}x{height}")


def on_item_signal(_conn, sender, _path, _iface, _name, _params):
    for item in items:
        if item[0] == sender:
            show(item)


def on_call(_conn, sender, _path, _iface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        name = params.unpack()[0]
        item = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        items.append(item)
        log("item", item[0])
        emit("StatusNotifierItemRegistered", GLib.Variant("(s)", (item[0],)))
        show(item)
    invocation.return_value(None)


def on_get(_conn, _sender, _path, _iface, name):
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", host)
    if name == "ProtocolVersion":
        return GLib.Variant("i", 0)
    return GLib.Variant("as", [item[0] for item in items])


def on_owner_changed(_conn, _sender, _path, _iface, _name, params):
    name, _old, new = params.unpack()
    for item in [i for i in items if i[0] == name and not new]:
        items.remove(item)
        log("gone", name)
        emit("StatusNotifierItemUnregistered", GLib.Variant("(s)", (name,)))


def activate():
    if items:
        bus.call(items[-1][0], items[-1][1], ITEM, "Activate", GLib.Variant("(ii)", (10, 10)),
                 None, 0, 2000, None, None)
    return GLib.SOURCE_CONTINUE


def toggle_host():
    global host
    host = not host
    emit("StatusNotifierHostRegistered" if host else "StatusNotifierHostUnregistered")
    log("host", "on" if host else "off")
    return GLib.SOURCE_CONTINUE


bus.register_object("/StatusNotifierWatcher", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0],
                    on_call, on_get, None)
bus.signal_subscribe(None, ITEM, None, None, None, 0, on_item_signal)
bus.signal_subscribe("org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged", None, None, 0,
                     on_owner_changed)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, activate)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR2, toggle_host)
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: loop.quit())
loop = GLib.MainLoop()
Gio.bus_own_name_on_connection(bus, WATCHER, Gio.BusNameOwnerFlags.DO_NOT_QUEUE,
                               lambda *_: log("watching"), lambda *_: log("name taken") or loop.quit())
loop.run()
