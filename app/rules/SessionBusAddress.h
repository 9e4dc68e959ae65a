// Which session bus the client talks to: only one that is announced. Asked for the session bus
// with none announced, libdbus starts a bus daemon of its own under X (its "autolaunch"), and
// that daemon outlives the client: one more left behind with every start.
#pragma once

class SessionBusAddress {
public:
    // Runs before anything can ask for the bus: Qt's platform theme, accessibility, the tray and
    // the desktop notifications all do. An announced bus is kept (DBUS_SESSION_BUS_ADDRESS, or
    // the standard socket $XDG_RUNTIME_DIR/bus, which is then named); with none, the address
    // becomes one that fails at once, so whatever wants the bus does without it.
    static void Settle();
};
