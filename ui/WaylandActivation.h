// On Wayland a window takes the focus, or comes back from being minimised, only when its request
// carries a token the desktop handed out for something the user did: a click on a notification,
// a start from a launcher (xdg-activation). Qt 6.4 has no public way to pass such a token on, so
// the client speaks that protocol itself. Off Wayland this does nothing.
#pragma once

#include <QByteArray>

#include <memory>

class QWidget;
class XdgActivation;

class WaylandActivation {
public:
    WaylandActivation();
    ~WaylandActivation();
    WaylandActivation(const WaylandActivation&) = delete;
    WaylandActivation& operator=(const WaylandActivation&) = delete;

    // Asks the compositor to activate the window; false when it cannot be asked.
    bool Activate(QWidget& window, const QByteArray& token);

private:
    std::unique_ptr<XdgActivation> m_protocol;
};
