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
        if (m_state.g_acceptCount > kPoolEntries - 1) {
            for (; m_state.g_acceptCount > 0; --m_state.g_acceptCount) {
                auto& entrySocket = m_pool[std::size_t(m_state.g_acceptCount - 1)];
                if (entrySocket)
                    entrySocket->Close();
            }
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
