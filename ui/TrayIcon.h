// The notification-area icon: the normal picture while connected, a greyed one while not, and the
// new-message alert, whose picture and tooltip are swapped with the link's once a second until
// the user looks at the window.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include "ui/TrayClick.h"
#include "ui/TrayWatch.h"

class QMenu;
struct WindowState;

inline constexpr int TIMER_BLINK = 5000;
inline constexpr int kBlinkIntervalMs = 1000;

class TrayIcon : public QObject {
    Q_OBJECT

public:
    // assumeTray: take a notification area as there whatever the desktop says (offscreen tests);
    // otherwise the icon follows the trays that come and go.
    TrayIcon(WindowState& state, bool assumeTray, QObject* parent = nullptr);

    static QIcon NormalIcon();
    static QIcon AlertIcon();
    // The normal picture greyed, from its own pixels.
    static QIcon OfflineIcon();

    // From now on the icon is in every notification area there is.
    void Add();
    // The menu a right click or a StatusNotifier host shows; it stays ours.
    void SetMenu(QMenu* menu);
    void Remove();
    void ShowLink(bool connected);
    void StartAlert();
    void StopAlert();
    void BlinkTimerProc();

    // Whether a notification area shows the icon now.
    [[nodiscard]] bool available() const { return m_assumeTray || m_watch.usable(); }
    // What the notification area is given to show.
    [[nodiscard]] QIcon icon() const { return m_tray != nullptr ? m_tray->icon() : QIcon(); }
    [[nodiscard]] QString toolTip() const { return m_tray != nullptr ? m_tray->toolTip() : QString(); }
    [[nodiscard]] QMenu* contextMenu() const { return m_tray != nullptr ? m_tray->contextMenu() : nullptr; }

signals:
    // A completed left click.
    void activated();
    // The notification area went away: nothing is left to click.
    void lost();

private:
    void Create();
    void Drop();
    void Render();

    WindowState& m_state;
    bool m_assumeTray;
    bool m_added = false;
    bool m_linkUp = false;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_menu = nullptr;
    TrayWatch m_watch;
    TrayClick m_click;
    QTimer m_blink;
};
