// Whether a StatusNotifier tray is there (KDE Plasma's, GNOME's tray extension, many panels): the
// org.kde.StatusNotifierWatcher service is on the session bus and says a host shows its items.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>

#include <optional>

class QDBusPendingCallWatcher;

// How long the start waits for the watcher's first answer, which decides whether the window hides.
inline constexpr int kTrayAnswerTimeoutMs = 1000;

class StatusNotifierWatch : public QObject {
    Q_OBJECT

public:
    explicit StatusNotifierWatch(QObject* parent = nullptr);

    // Answers for the bus as it is now, then follows it; a bus not connected has no tray.
    void Start(const QDBusConnection& bus);
    [[nodiscard]] bool present() const { return m_present; }

signals:
    void changed();

private slots:
    // QtDBus hands bus signals only to slots named by their signature.
    void OnHostsChanged();

private:
    void OnOwnerChanged(const QString& newOwner);
    void OnAnswer(QDBusPendingCallWatcher* call, quint64 question);
    void Set(bool present);

    std::optional<QDBusConnection> m_bus;
    QDBusServiceWatcher m_watcher;
    bool m_present = false;
    quint64 m_questions = 0; // an answer to an older question than the last is out of date
};
