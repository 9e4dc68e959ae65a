#!/usr/bin/python3
# A StatusNotifier host's look at an item's menu (com.canonical.dbusmenu), as a panel shows it.
#   sni_menu.py SERVICE              prints the entries' labels, mnemonics taken out, one a line
#   sni_menu.py SERVICE click LABEL  clicks the entry whose label that is, as a panel does
from gi.repository import Gio, GLib
import sys
import time

service = sys.argv[1]
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)


def call(path, interface, method, args, reply):
    return bus.call_sync(service, path, interface, method, args, GLib.VariantType(reply), 0, 3000, None).unpack()


menu = call("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
            GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "Menu")), "(v)")[0]
call(menu, "com.canonical.dbusmenu", "AboutToShow", GLib.Variant("(i)", (0,)), "(b)")
_, (_, _, children) = call(menu, "com.canonical.dbusmenu", "GetLayout",
                           GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
entries = []
for child in children:
    number, properties, _ = child
    if properties.get("type") == "separator" or properties.get("visible") is False:
        continue
    entries.append((number, properties.get("label", "").replace("_", ""),
                    properties.get("enabled", True)))
if len(sys.argv) == 2:
    for _, label, enabled in entries:
        print(label if enabled else f"{label} (disabled)")
    sys.exit(0)
for number, label, _ in entries:
    if label == sys.argv[3]:
        bus.call_sync(service, menu, "com.canonical.dbusmenu", "Event",
                      GLib.Variant("(isvu)", (number, "clicked", GLib.Variant("i", 0), int(time.time()))),
                      None, 0, 3000, None)
        sys.exit(0)
sys.exit(f"no entry {sys.argv[3]}")
