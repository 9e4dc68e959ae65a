#include "ChatServer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <utility>
#include <vector>

namespace qornc::server {

namespace {

// Enough for a few hundred blocks per read while keeping a flooding client
// from parking megabytes in Qt's buffer.
constexpr qint64 kReadChunk = 64 * 1024;

// Notifications go back to this address, so clients reaching an IPv6 socket
// through IPv4 must be seen as their plain IPv4 address.
std::string hostText(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return (isV4 ? QHostAddress(v4) : address).toString().toStdString();
}

} // namespace

ChatServer::ChatServer(ChatRouter router, ServerConfig config, LogSink log, QObject* parent)
    : QObject(parent)
    , router_(std::move(router))
    , config_(std::move(config))
    , log_(std::move(log))
    , tcpServer_(new QTcpServer(this))
    , dispatcher_(new NotifyDispatcher(config_.notifyPort, config_.dispatch, log_, this))
{
    connect(tcpServer_, &QTcpServer::newConnection, this, &ChatServer::onNewConnection);
}

bool ChatServer::listen(QString& error)
{
    if (tcpServer_->listen(config_.listenAddress, config_.port))
        return true;
    error = QStringLiteral("cannot listen on %1:%2: %3")
                .arg(config_.listenAddress.toString())
                .arg(config_.port)
                .arg(tcpServer_->errorString());
    return false;
}

quint16 ChatServer::port() const
{
    return tcpServer_->serverPort();
}

void ChatServer::onNewConnection()
{
    while (QTcpSocket* socket = tcpServer_->nextPendingConnection()) {
        if (connections_.size() < config_.maxConnections) {
            adopt(socket);
            continue;
        }
        log_("refused connection from " + hostText(socket->peerAddress()) + ": "
             + std::to_string(connections_.size()) + " connections open");
        socket->abort();
        socket->deleteLater();
    }
}

void ChatServer::adopt(QTcpSocket* socket)
{
    // Keepalive lets the kernel find peers that vanished without a FIN;
    // otherwise they would hold a connection slot, and stay online, forever.
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket->setReadBufferSize(kReadChunk);
    const Connection& connection =
        connections_.emplace(socket, Connection{nextId_++, hostText(socket->peerAddress()), {}}).first->second;
    log_("connection #" + std::to_string(connection.id) + " from " + connection.peerHost);

    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    connect(socket, &QTcpSocket::stateChanged, this, [this, socket](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            onClosed(socket);
    });
}

void ChatServer::onReadable(QTcpSocket* socket)
{
    const auto found = connections_.find(socket);
    if (found == connections_.end())
        return;
    Connection& connection = found->second;
    std::vector<std::string> texts;
    while (socket->bytesAvailable() > 0) {
        const QByteArray chunk = socket->read(kReadChunk);
        if (chunk.isEmpty())
            break;
        const std::size_t droppedBefore = connection.framer.droppedRuns();
        connection.framer.feed({chunk.constData(), static_cast<std::size_t>(chunk.size())}, texts);
        if (connection.framer.droppedRuns() != droppedBefore)
            log_("ignored: garbage without NUL on connection #" + std::to_string(connection.id));
        for (const std::string& text : texts)
            handleText(connection, text);
        texts.clear();
    }
}

void ChatServer::handleText(const Connection& connection, const std::string& text)
{
    RouteResult result = router_.handle(connection.id, connection.peerHost, text);
    log_(result.log);
    if (result.notification)
        dispatcher_->send(std::move(*result.notification));
}

void ChatServer::onClosed(QTcpSocket* socket)
{
    // Anything still buffered was sent before the close and still counts (a
    // final logout, say); Qt normally reports it first, but not by contract.
    onReadable(socket);
    const auto found = connections_.find(socket);
    if (found == connections_.end())
        return;
    const ConnectionId id = found->second.id;
    connections_.erase(found);
    for (const std::string& line : router_.connectionClosed(id))
        log_(line);
    log_("connection #" + std::to_string(id) + " closed");
    socket->deleteLater();
}

} // namespace qornc::server
