// The notification-area icon and the new-message alert: the alert icon and its tooltip, swapped
// with the normal icon once a second until the user looks at the window.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

struct ClientState;

inline constexpr int TIMER_BLINK = 5000;
inline constexpr int kBlinkIntervalMs = 1000;

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // available: whether the desktop has a notification area (it may not, and offscreen never).
    TrayIcon(ClientState& state, bool available, QObject* parent = nullptr);

    static QIcon NormalIcon();
    static QIcon AlertIcon();

    void Add();
    void Remove();
    void StartAlert();
    void StopAlert();
    void BlinkTimerProc();

    [[nodiscard]] bool available() const { return m_available; }
    [[nodiscard]] bool blinking() const { return m_blink.isActive(); }
    [[nodiscard]] QString toolTip() const { return m_toolTip; }
    [[nodiscard]] bool showingAlertIcon() const { return m_showingAlert; }

signals:
    // A left click: only Qt's Trigger toggles the window.
    void activated();

private:
    void Modify(bool alertIcon, const QString& toolTip);

    ClientState& m_state;
    bool m_available;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer m_blink;
    QString m_toolTip;
    bool m_showingAlert = false;
};
