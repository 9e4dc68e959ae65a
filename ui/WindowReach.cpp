#include "ui/WindowReach.h"

#include <QWidget>

#include "ui/TrayIcon.h"
#include "ui/rules/WindowState.h"

WindowReach::WindowReach(QWidget& window, WindowState& state, TrayIcon& tray)
    : m_window(window)
    , m_state(state)
    , m_tray(tray)
{
    connect(&m_tray, &TrayIcon::activated, this, &WindowReach::OnTrayClick);
    connect(&m_tray, &TrayIcon::lost, this, &WindowReach::OnTrayLost);
}

void WindowReach::Open()
{
    m_hideUntilClicked = m_tray.available();
    m_state.g_windowHidden = m_hideUntilClicked ? 1 : 0;
    if (!m_hideUntilClicked)
        m_window.show(); // a tray that comes later does not hide a window the user has seen
}

void WindowReach::KeepHiddenUntilClicked()
{
    if (m_state.g_trayActivated == 1 || !m_hideUntilClicked)
        return;
    if (m_window.isVisible())
        m_window.hide();
    m_state.g_windowHidden = 1;
}

void WindowReach::OnTrayClick()
{
    m_state.g_trayActivated = 1;
    if (m_state.g_windowHidden == 1) {
        BringUp();
        return;
    }
    m_window.hide();
    m_state.g_windowHidden = 1;
}

void WindowReach::BringUp(const QByteArray& activationToken)
{
    m_hideUntilClicked = false; // the user has seen the window now
    m_window.showNormal();
    m_state.g_windowHidden = 0;
    m_window.raise();
    m_window.activateWindow();
    m_window.setFocus();
    (void)m_activation.Activate(m_window, activationToken); // on Wayland only this request is heard
}

void WindowReach::Close()
{
    if (m_tray.available()) {
        m_window.hide();
        m_state.g_windowHidden = 1;
    } else {
        m_window.showMinimized();
    }
}

void WindowReach::OnTrayLost()
{
    m_hideUntilClicked = false;
    if (m_state.g_windowHidden == 1)
        BringUp();
}
