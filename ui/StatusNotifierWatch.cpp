#include "ui/StatusNotifierWatch.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kPath = QStringLiteral("/StatusNotifierWatcher");

QDBusMessage HostQuestion()
{
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kService << QStringLiteral("IsStatusNotifierHostRegistered");
    return get;
}

}  // namespace

StatusNotifierWatch::StatusNotifierWatch(QObject* parent)
    : QObject(parent)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) { OnOwnerChanged(newOwner); });
}

void StatusNotifierWatch::Start(const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return;
    m_bus = bus;
    m_watcher.setConnection(bus);
    m_watcher.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    m_watcher.addWatchedService(kService);
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus->connect(kService, kPath, kService, QLatin1String(signal), this, SLOT(OnHostsChanged()));
    const QDBusPendingReply<QDBusVariant> first = m_bus->call(HostQuestion(), QDBus::Block, kTrayAnswerTimeoutMs);
    Set(first.isValid() && first.value().variant().toBool());
}

void StatusNotifierWatch::OnOwnerChanged(const QString& newOwner)
{
    if (newOwner.isEmpty()) {
        ++m_questions; // no answer from the watcher that went away counts any more
        Set(false);
    } else {
        OnHostsChanged();
    }
}

void StatusNotifierWatch::OnHostsChanged()
{
    auto* call = new QDBusPendingCallWatcher(m_bus->asyncCall(HostQuestion(), kTrayAnswerTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, question = ++m_questions](QDBusPendingCallWatcher* finished) { OnAnswer(finished, question); });
}

void StatusNotifierWatch::OnAnswer(QDBusPendingCallWatcher* call, quint64 question)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusVariant> reply = *call;
    if (question == m_questions)
        Set(!reply.isError() && reply.value().variant().toBool());
}

void StatusNotifierWatch::Set(bool present)
{
    if (present == m_present)
        return;
    m_present = present;
    emit changed();
}
