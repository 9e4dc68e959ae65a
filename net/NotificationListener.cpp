#include "net/NotificationListener.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "common/PeerAddress.h"
#include "net/SocketErrors.h"
#include "net/rules/ErrorNames.h"
#include "net/rules/LinkState.h"

namespace {

// An IPv4 peer of a dual-stack listener shows as ::ffff:a.b.c.d.
QHostAddress Plain(const QHostAddress& address)
{
    return QHostAddress(QString::fromStdString(PlainAddressText(address.toString().toStdString())));
}

bool SameHost(const QHostAddress& a, const QHostAddress& b)
{
    if (a.isNull() || b.isNull())
        return false;
    // A server on this machine may deliver from any of its loopback addresses (127.0.1.1 is
    // the host's own name on many systems).
    if (Plain(a).isLoopback() && Plain(b).isLoopback())
        return true;
    return Plain(a).isEqual(Plain(b), QHostAddress::TolerantConversion);
}

}  // namespace

NotificationListener::NotificationListener(const LinkState& state, NotificationSink sink, int deliveryTimeoutMs,
                                           QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_sink(std::move(sink))
    , m_deliveryTimeoutMs(deliveryTimeoutMs)
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

bool NotificationListener::isListening() const
{
    return m_server->isListening();
}

quint16 NotificationListener::port() const
{
    return m_server->serverPort();
}

void NotificationListener::OnAccept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (IsServerAddress(socket->peerAddress()))
            Take(socket);
        else
            Refuse(socket);
    }
}

void NotificationListener::Refuse(QTcpSocket* socket)
{
    // Anyone could otherwise post messages under any name: close unread.
    const QHostAddress peer = Plain(socket->peerAddress());
    socket->abort();
    socket->deleteLater();
    if (!m_refusedPeers.contains(peer.toString())) {
        m_refusedPeers.insert(peer.toString());
        emit rejected(peer);
    }
}

void NotificationListener::Take(QTcpSocket* socket)
{
    MakeRoom();
    auto delivery = std::make_unique<CLinkSocket>(m_sink);
    CLinkSocket* link = delivery.get();
    connect(link, &CLinkSocket::received, this, &NotificationListener::received);
    // The server closes once it has written; what it wrote is taken in before the close.
    connect(link, &CLinkSocket::linkLost, this, [this, link] { CloseDelivery(link); });
    QTimer::singleShot(m_deliveryTimeoutMs, link, [this, link] {
        if (!link->hasReceived())
            CloseDelivery(link); // what it holds by now is still taken in
    });
    link->Attach(socket);
    m_open.push_back(std::move(delivery));
    link->OnReceive(); // bytes may have arrived with the connection itself
}

void NotificationListener::MakeRoom()
{
    // Earlier connections came first: what they hold is handled before the new one's text.
    for (const auto& delivery : m_open)
        delivery->TakeInWaiting();
    // The server's own closes free their room first; then deliveries that have brought their
    // text give theirs up, oldest first. One still waiting for its text is kept: closing it
    // would lose that text.
    std::vector<CLinkSocket*> ended;
    std::vector<CLinkSocket*> done;
    for (const auto& delivery : m_open) {
        if (!delivery->isConnected())
            ended.push_back(delivery.get());
        else if (delivery->hasReceived())
            done.push_back(delivery.get());
    }
    for (CLinkSocket* delivery : ended)
        CloseDelivery(delivery);
    for (auto oldest = done.begin(); oldest != done.end() && openDeliveries() >= kPoolSize; ++oldest)
        CloseDelivery(*oldest);
    while (openDeliveries() >= kMaxOpenDeliveries)
        CloseDelivery(m_open.front().get());
}

void NotificationListener::CloseDelivery(CLinkSocket* delivery)
{
    const auto found = std::find_if(m_open.begin(), m_open.end(),
                                    [delivery](const auto& open) { return open.get() == delivery; });
    if (found == m_open.end())
        return;
    delivery->Close(); // what it still holds is taken in and announced
    delivery->disconnect(this);
    // Often called from the delivery's own signal: it goes once that has returned.
    found->release()->deleteLater();
    m_open.erase(found);
}

void NotificationListener::AcceptPeerOf(const CLinkSocket& requestLink)
{
    m_requestLink = &requestLink;
}

bool NotificationListener::IsServerAddress(const QHostAddress& peer) const
{
    if (SameHost(peer, QHostAddress(QString::fromStdString(m_state.g_serverIp.str()))))
        return true;
    return m_requestLink != nullptr && m_requestLink->isConnected() &&
           SameHost(peer, m_requestLink->socket()->peerAddress());
}

QString ListenFailedText(int errorCode)
{
    const std::string_view name = ConnectErrorName(errorCode);
    return QStringLiteral("Can't listen for messages: Error code %1.")
        .arg(QString::fromLatin1(name.data(), qsizetype(name.size())));
}

QString RefusedDeliveryText(const QHostAddress& peer)
{
    return QStringLiteral("Refused a delivery from %1: not the server's address.").arg(peer.toString());
}
