#include "ui/LinkPresenter.h"

#include <QPushButton>

#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "net/rules/LinkState.h"
#include "ui/StatusLine.h"
#include "ui/TextCatalog.h"
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
    connect(&m_server, &ServerConnection::connectEnded, this, &LinkPresenter::OnConnectEnded);
    connect(&m_listener, &NotificationListener::rejected, this,
            [this](const QHostAddress& peer) { m_statusLine.Show(RefusedDeliveryText(peer)); });
}

// A listener that failed is tried again at every attempt, and its failure is told whatever the
// connect did.
void LinkPresenter::BeginConnect(std::size_t loginBlockSize, quint16 notifyPort)
{
    m_listening = m_listener.isListening() || m_listener.Listen(notifyPort);
    // Told like a link that is down: a request failing meanwhile has nothing to add.
    m_statusLine.ShowLinkDown(QString::fromLatin1(kConnectingText).arg(QString::fromStdString(m_state.g_serverIp.str())));
    m_server.BeginConnect(loginBlockSize);
    if (m_server.isConnecting())
        UpdateButtons();
}

bool LinkPresenter::Abandon()
{
    if (!m_server.isConnecting())
        return false;
    m_server.AbandonConnect();
    m_statusLine.ShowLinkDown(QString::fromLatin1(kAbandonedText));
    UpdateButtons();
    return true;
}

void LinkPresenter::OnConnectEnded(const QString& status)
{
    const QString listenStatus = m_listening ? QString() : ListenFailedText(m_listener.errorCode());
    const bool connected = m_state.g_link.g_connected == 1;
    if (connected)
        m_statusLine.Show(m_listening ? status : listenStatus);
    else
        // Each half in the user's language; the line takes the whole as it is.
        m_statusLine.ShowLinkDown(m_listening ? status
                                              : Translated(status) + QLatin1Char(' ') + Translated(listenStatus));
    UpdateButtons();
    if (connected)
        emit loggedIn();
}

void LinkPresenter::UpdateButtons()
{
    m_connect->setEnabled(m_state.g_link.connectEnabled);
    m_disconnect->setEnabled(m_state.g_link.disconnectEnabled);
    m_tray.ShowLink(m_state.g_link.g_connected == 1);
}
