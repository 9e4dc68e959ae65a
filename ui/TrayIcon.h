// The notification-area icon and the new-message alert: the alert icon and its tooltip, swapped
// with the normal icon once a second until the user looks at the window.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include "ui/TrayClick.h"

struct ClientState;

inline constexpr int TIMER_BLINK = 5000;
inline constexpr int kBlinkIntervalMs = 1000;

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // available: whether the desktop had a notification area at start (offscreen never has).
    TrayIcon(ClientState& state, bool available, QObject* parent = nullptr);

    static QIcon NormalIcon();
    static QIcon AlertIcon();

    // Shown also without a notification area: one that starts later picks the icon up.
    void Add();
    void Remove();
    void StartAlert();
    void StopAlert();
    void BlinkTimerProc();

    [[nodiscard]] bool available() const { return m_available; }
    // What the notification area is given to show.
    [[nodiscard]] QIcon icon() const { return m_tray != nullptr ? m_tray->icon() : QIcon(); }
    [[nodiscard]] QString toolTip() const { return m_tray != nullptr ? m_tray->toolTip() : QString(); }

signals:
    // A completed left click.
    void activated();

private:
    void Modify(bool alertIcon, const QString& toolTip);

    ClientState& m_state;
    bool m_available;
    QSystemTrayIcon* m_tray = nullptr;
    TrayClick m_click;
    QTimer m_blink;
};
