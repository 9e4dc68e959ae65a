#include "ui/DesktopNotifier.h"

#include <algorithm>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "common/DisplayText.h"
#include "ui/TextCatalog.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");

QDBusMessage Call(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

// Decoded as the conversation view decodes it, so a text that is not UTF-8 reads the same in both;
// cut to a body's length, which a sender's name never reaches.
QString ForDisplay(const QByteArray& bytes)
{
    return QString::fromStdString(ShortenForDisplay(ShownText(bytes.toStdString()), kNotificationBodyCharacters));
}

}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent)
{
}

void DesktopNotifier::UseBus(const QDBusConnection& bus)
{
    m_bus = bus;
    m_bus->connect(kService, kPath, kInterface, QStringLiteral("ActivationToken"), this,
                   SLOT(OnActivationToken(uint, QString)));
    m_bus->connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                   SLOT(OnActionInvoked(uint, QString)));
    m_bus->connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                   SLOT(OnNotificationClosed(uint, uint)));
}

QDBusConnection& DesktopNotifier::Bus()
{
    if (!m_bus)
        UseBus(QDBusConnection::sessionBus());
    return *m_bus;
}

void DesktopNotifier::Show(std::string_view sender, std::string_view text)
{
    const QByteArray key(sender.data(), qsizetype(sender.size()));
    m_queue.insert(key, QByteArray(text.data(), qsizetype(text.size())));
    if (m_capabilities == Capabilities::Unknown)
        AskCapabilities();
    else if (m_capabilities == Capabilities::Known && !m_sending.contains(key))
        Send(key);
    // Otherwise the answer being awaited sends the queued text.
}

void DesktopNotifier::AskCapabilities()
{
    // No bus or no service: the window's demand for attention is all the alert there is.
    if (!Bus().isConnected()) {
        m_queue.clear();
        return;
    }
    m_capabilities = Capabilities::Asking;
    auto* call = new QDBusPendingCallWatcher(Bus().asyncCall(Call(QStringLiteral("GetCapabilities"))), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::OnCapabilities);
}

void DesktopNotifier::OnCapabilities(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    const QDBusPendingReply<QStringList> reply = *call;
    if (reply.isError()) {
        m_capabilities = Capabilities::Unknown; // a service may start later: ask again then
        m_queue.clear();
        return;
    }
    // A server that takes markup would read a "<" in the message as the start of a tag.
    m_markup = reply.value().contains(QStringLiteral("body-markup"));
    m_capabilities = Capabilities::Known;
    for (const QByteArray& sender : m_queue.keys()) {
        if (!m_sending.contains(sender))
            Send(sender);
    }
}

void DesktopNotifier::Send(const QByteArray& sender)
{
    const QByteArray text = m_queue.take(sender);
    QString body = ForDisplay(text);
    if (m_markup)
        body = body.toHtmlEscaped();
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("qornc")},
                            {QStringLiteral("category"), QStringLiteral("im.received")}};
    QDBusMessage notify = Call(QStringLiteral("Notify"));
    notify << QStringLiteral("QORNC") << m_shown.value(sender, 0u) << QStringLiteral("qornc") << ForDisplay(sender)
           << body << QStringList{kDefaultAction, Translated(QStringLiteral("Show"))} << hints << -1;
    m_sending.insert(sender);
    auto* call = new QDBusPendingCallWatcher(Bus().asyncCall(notify), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, sender, epoch = m_epoch](QDBusPendingCallWatcher* finished) {
                OnNotifyReply(sender, epoch, finished);
            });
}

void DesktopNotifier::OnNotifyReply(const QByteArray& sender, quint64 epoch, QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    m_sending.remove(sender);
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        m_shown.remove(sender);
        m_queue.remove(sender);
        m_capabilities = Capabilities::Unknown; // the service went away; a new one may differ
        return;
    }
    if (epoch != m_epoch) {
        Close(reply.value()); // the user looked at the window while it was on its way
        m_shown.remove(sender);
    } else {
        m_shown.insert(sender, reply.value());
    }
    if (m_queue.contains(sender))
        Send(sender); // a newer message came meanwhile: it replaces this one
}

void DesktopNotifier::CloseAll()
{
    ++m_epoch;
    m_queue.clear();
    for (const uint id : std::as_const(m_shown))
        Close(id);
    m_shown.clear();
}

void DesktopNotifier::Close(uint id)
{
    QDBusMessage close = Call(QStringLiteral("CloseNotification"));
    close << id;
    Bus().send(close);
}

QHash<QByteArray, uint>::const_iterator DesktopNotifier::FindShown(uint id) const
{
    return std::find(m_shown.cbegin(), m_shown.cend(), id);
}

void DesktopNotifier::OnActivationToken(uint id, const QString& token)
{
    if (FindShown(id) != m_shown.cend())
        m_tokens.insert(id, token.toLatin1());
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action)
{
    const QByteArray token = m_tokens.take(id);
    // The service tells every client; only our own notifications concern us.
    if (action == kDefaultAction && FindShown(id) != m_shown.cend())
        emit activated(token);
}

void DesktopNotifier::OnNotificationClosed(uint id, uint /*reason*/)
{
    m_tokens.remove(id);
    if (const auto shown = FindShown(id); shown != m_shown.cend())
        m_shown.erase(shown);
}
