#include "net/NotificationListener.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "app/ClientState.h"
#include "net/ErrorNames.h"
#include "net/SocketErrors.h"

NotificationListener::NotificationListener(ClientState& state, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &NotificationListener::OnAccept);
}

NotificationListener::~NotificationListener() = default;

bool NotificationListener::Listen(quint16 port)
{
    // Every notification is a connection of its own: a short queue overflows under a burst, and
    // each refused handshake costs the server a retransmission second.
    m_server->setListenBacklogSize(kListenBacklog);
    if (m_server->listen(QHostAddress::Any, port)) {
        m_errorCode = 0;
        return true;
    }
    m_errorCode = WsaCodeFor(m_server->serverError());
    return false;
}

quint16 NotificationListener::port() const
{
    return m_server->serverPort();
}

const CLinkSocket* NotificationListener::entry(int index) const
{
    if (index < 1 || index > kPoolEntries)
        return nullptr;
    return m_pool[std::size_t(index - 1)].get();
}

void NotificationListener::OnAccept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (!IsServerAddress(socket->peerAddress())) {
            // Anyone could otherwise post messages under any name: close unread.
            emit rejected(socket->peerAddress());
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Earlier connections came first: what they hold is handled before this one's text.
        TakeInPool();
        if (m_state.g_acceptCount > kPoolEntries - 1) {
            for (; m_state.g_acceptCount > 0; --m_state.g_acceptCount)
                Evict(m_pool[std::size_t(m_state.g_acceptCount - 1)]);
        }
        ++m_state.g_acceptCount;
        auto& slot = m_pool[std::size_t(m_state.g_acceptCount - 1)];
        if (!slot) {
            slot = std::make_unique<CLinkSocket>(m_state);
            connect(slot.get(), &CLinkSocket::received, this, &NotificationListener::received);
        }
        slot->Attach(socket);
        slot->OnReceive(); // bytes may have arrived with the connection itself
    }
}

void NotificationListener::TakeInPool()
{
    for (int index = 0; index < m_state.g_acceptCount; ++index) {
        if (auto& entrySocket = m_pool[std::size_t(index)])
            entrySocket->TakeInWaiting();
    }
}

void NotificationListener::Evict(std::unique_ptr<CLinkSocket>& entrySocket)
{
    if (entrySocket)
        entrySocket->Close();
}

void NotificationListener::AcceptPeerOf(const CLinkSocket& requestLink)
{
    m_requestLink = &requestLink;
}

bool NotificationListener::IsServerAddress(const QHostAddress& peer) const
{
    const QHostAddress server(QString::fromStdString(m_state.g_serverIp.str()));
    if (!server.isNull() && peer.isEqual(server, QHostAddress::TolerantConversion))
        return true;
    if (m_requestLink == nullptr || !m_requestLink->isConnected())
        return false;
    const QHostAddress linkPeer = m_requestLink->socket()->peerAddress();
    return !linkPeer.isNull() && peer.isEqual(linkPeer, QHostAddress::TolerantConversion);
}

QString ListenFailedText(int errorCode)
{
    const std::string_view name = ConnectErrorName(errorCode);
    return QStringLiteral("Can't listen for messages: Error code %1.")
        .arg(QString::fromLatin1(name.data(), qsizetype(name.size())));
}
