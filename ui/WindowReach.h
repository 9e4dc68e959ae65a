// Keeps the main window within the user's reach: behind the tray icon while there is one, brought
// to the front by a click on the icon, by a later start of the program, by a notification, and
// when the notification area goes away and nothing is left to click.
#pragma once

#include <QByteArray>
#include <QObject>

#include "ui/WaylandActivation.h"

class QWidget;
class TrayIcon;
struct WindowState;

class WindowReach : public QObject {
    Q_OBJECT

public:
    WindowReach(QWidget& window, WindowState& state, TrayIcon& tray);

    // At start: hidden behind the icon until its first click, or shown where there is no icon.
    void Open();
    // The pump's first step: the window stays hidden until the icon is first clicked.
    void KeepHiddenUntilClicked();
    // A click on the icon: a hidden window comes to the front, any other hides.
    void OnTrayClick();
    // Shows the window in front with the focus; a token from the desktop lets it take the focus.
    void BringUp(const QByteArray& activationToken = {});
    // The close box: the window hides behind the icon, or is minimised where there is none.
    void Close();

private:
    void OnTrayLost();

    QWidget& m_window;
    WindowState& m_state;
    TrayIcon& m_tray;
    WaylandActivation m_activation;
    bool m_hideUntilClicked = false;
};
