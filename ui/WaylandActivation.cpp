#include "ui/WaylandActivation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtWaylandClient/QWaylandClientExtensionTemplate>
#include <qpa/qplatformnativeinterface.h>

#include "qwayland-xdg-activation-v1.h"

// The compositor's xdg_activation_v1 global, bound on Qt's own Wayland connection.
class XdgActivation : public QWaylandClientExtensionTemplate<XdgActivation>, public QtWayland::xdg_activation_v1 {
public:
    XdgActivation()
        : QWaylandClientExtensionTemplate(1)
    {
        initialize();
    }
    ~XdgActivation() override
    {
        if (isActive())
            destroy();
    }
};

WaylandActivation::WaylandActivation() = default;
WaylandActivation::~WaylandActivation() = default;

bool WaylandActivation::Activate(QWidget& window, const QByteArray& token)
{
    if (token.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    if (m_protocol == nullptr)
        m_protocol = std::make_unique<XdgActivation>();
    QWindow* handle = window.windowHandle();
    auto* surface = handle == nullptr ? nullptr
                                      : static_cast<wl_surface*>(QGuiApplication::platformNativeInterface()
                                                                     ->nativeResourceForWindow("surface", handle));
    if (!m_protocol->isActive() || surface == nullptr)
        return false;
    m_protocol->activate(QString::fromLatin1(token), surface);
    return true;
}
