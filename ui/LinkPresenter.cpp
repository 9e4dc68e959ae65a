#include "ui/LinkPresenter.h"

#include <QPushButton>

#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "net/rules/LinkState.h"
#include "ui/StatusLine.h"
#include "ui/TrayIcon.h"

LinkPresenter::LinkPresenter(LinkState& state, ServerConnection& server, NotificationListener& listener,
                             StatusLine& statusLine, TrayIcon& tray, QPushButton* connectButton,
                             QPushButton* disconnectButton)
    : m_state(state)
    , m_server(server)
    , m_listener(listener)
    , m_statusLine(statusLine)
    , m_tray(tray)
    , m_connect(connectButton)
    , m_disconnect(disconnectButton)
{
    connect(&m_server, &ServerConnection::linkLost, this, [this](const QString& text) {
        m_statusLine.ShowLinkDown(text);
        UpdateButtons();
        emit linkLost();
    });
    connect(&m_listener, &NotificationListener::rejected, this,
            [this](const QHostAddress& peer) { m_statusLine.Show(RefusedDeliveryText(peer)); });
}

// A listener that failed is tried again at every attempt, and its failure is told whatever the
// connect did.
bool LinkPresenter::ConnectAndReport(std::size_t loginBlockSize, quint16 notifyPort)
{
    const bool listening = m_listener.isListening() || m_listener.Listen(notifyPort);
    const QString status = m_server.ConnectAndLogin(loginBlockSize);
    const QString listenStatus = listening ? QString() : ListenFailedText(m_listener.errorCode());
    const bool connected = m_state.g_link.g_connected == 1;
    if (connected)
        m_statusLine.Show(listening ? status : listenStatus);
    else
        m_statusLine.ShowLinkDown(listening ? status : status + QLatin1Char(' ') + listenStatus);
    UpdateButtons();
    return connected;
}

void LinkPresenter::UpdateButtons()
{
    m_connect->setEnabled(m_state.g_link.connectEnabled);
    m_disconnect->setEnabled(m_state.g_link.disconnectEnabled);
    m_tray.ShowLink(m_state.g_link.g_connected == 1);
}
