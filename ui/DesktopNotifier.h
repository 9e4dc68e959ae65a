// Desktop notifications for messages the user has not seen, where there is no tray icon to
// blink: one per sender, replaced by that sender's next message, closed once the user looks.
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QSet>

#include <cstddef>
#include <optional>
#include <string_view>

class QDBusPendingCallWatcher;

// How much of a message a notification shows.
inline constexpr std::size_t kNotificationBodyCharacters = 100;

class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    // The bus the notification service is asked on; the session bus, first used at the first
    // message, unless one is given here.
    void UseBus(const QDBusConnection& bus);
    // Shows the sender's notification, or replaces the one still showing.
    void Show(std::string_view sender, std::string_view text);
    // Closes every notification of ours: the user is looking at the window.
    void CloseAll();

signals:
    // The user clicked one of ours; the desktop's token, if it sent one, lets the window take the focus.
    void activated(const QByteArray& activationToken);

private slots:
    // QtDBus hands bus signals only to slots named by their signature.
    void OnActivationToken(uint id, const QString& token);
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    enum class Capabilities { Unknown, Asking, Known };

    QDBusConnection& Bus();
    void AskCapabilities();
    void OnCapabilities(QDBusPendingCallWatcher* call);
    void Send(const QByteArray& sender);
    void OnNotifyReply(const QByteArray& sender, quint64 epoch, QDBusPendingCallWatcher* call);
    void Close(uint id);
    [[nodiscard]] QHash<QByteArray, uint>::const_iterator FindShown(uint id) const;

    std::optional<QDBusConnection> m_bus;
    Capabilities m_capabilities = Capabilities::Unknown;
    bool m_markup = false;
    QHash<QByteArray, uint> m_shown;       // sender -> id of the notification showing
    QHash<QByteArray, QByteArray> m_queue; // sender -> latest text not sent yet
    QSet<QByteArray> m_sending;            // senders whose Notify has not answered yet
    quint64 m_epoch = 0;                   // counts CloseAll: an older answer is closed at once
    QHash<uint, QByteArray> m_tokens;      // id -> token, sent just before the action itself
};
