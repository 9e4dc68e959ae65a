#include "ui/TrayWatch.h"

#include <utility>

#include <QDBusConnection>

TrayWatch::TrayWatch(QObject* parent)
    : QObject(parent)
{
    connect(&m_xembed, &XEmbedTrayWatch::changed, this, &TrayWatch::OnChanged);
    connect(&m_statusNotifier, &StatusNotifierWatch::changed, this, &TrayWatch::OnChanged);
}

void TrayWatch::Start()
{
    m_xembed.Start();
    m_statusNotifier.Start(QDBusConnection::sessionBus());
    OnChanged();
}

void TrayWatch::IconCreated()
{
    if (m_kind == Kind::Undecided)
        m_kind = m_statusNotifier.present() ? Kind::StatusNotifier : Kind::XEmbed;
}

bool TrayWatch::usable() const
{
    switch (m_kind) {
    case Kind::StatusNotifier:
        return m_statusNotifier.present();
    case Kind::XEmbed:
        return m_xembed.present();
    case Kind::Undecided:
        break;
    }
    return m_statusNotifier.present() || m_xembed.present();
}

// Qt puts an icon back into an X tray that returns by itself; a StatusNotifier host that returns
// may not know the old icon, so it gets a new one.
void TrayWatch::OnChanged()
{
    const bool hostCame = m_statusNotifier.present() && !m_hadHost;
    m_hadHost = m_statusNotifier.present();
    const bool isUsable = usable();
    const bool wasUsable = std::exchange(m_wasUsable, isUsable);
    if (isUsable && (m_kind == Kind::Undecided || (m_kind == Kind::StatusNotifier && hostCame)))
        emit iconNeeded();
    if (wasUsable && !isUsable)
        emit lost();
}
