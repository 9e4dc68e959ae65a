#include "ChatServer.h"

#include "StateFile.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>
#include <vector>

namespace qornc::server {

namespace {

// Enough for a few hundred blocks per read while keeping a flooding client
// from parking megabytes in Qt's buffer.
constexpr qint64 kReadChunk = 64 * 1024;

// Room for a burst of connects while the event loop is busy, so that a host
// opening hundreds at once does not crowd others out of the kernel's queue.
constexpr int kListenBacklog = 1024;

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
    , saveTimer_(new QTimer(this))
{
    tcpServer_->setListenBacklogSize(kListenBacklog);
    connect(tcpServer_, &QTcpServer::newConnection, this, &ChatServer::onNewConnection);
    // A burst of registrations is written once, not once per name.
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(config_.stateSaveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &ChatServer::saveState);
}

ChatServer::~ChatServer()
{
    if (saveTimer_->isActive())
        saveState();
}

void ChatServer::saveState()
{
    saveTimer_->stop();
    if (std::string error; !saveStateFile(config_.stateFile, router_.accounts(), error))
        log_("warning: " + error);
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
        const std::string host = hostText(socket->peerAddress());
        if (!refuse(socket, host))
            adopt(socket, host);
    }
}

bool ChatServer::refuse(QTcpSocket* socket, const std::string& host)
{
    std::string why;
    if (connections_.size() >= config_.maxConnections)
        why = std::to_string(connections_.size()) + " connections open";
    else if (connectionsPerHost_[host] >= config_.maxConnectionsPerHost)
        why = std::to_string(connectionsPerHost_[host]) + " connections open from that host";
    else
        return false;
    if (connectionsPerHost_[host] == 0)
        connectionsPerHost_.erase(host);
    log_("refused connection from " + host + ": " + why);
    socket->abort();
    socket->deleteLater();
    return true;
}

void ChatServer::adopt(QTcpSocket* socket, const std::string& host)
{
    // Keepalive lets the kernel find peers that vanished without a FIN;
    // otherwise they would hold a connection slot, and stay online, forever.
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket->setReadBufferSize(kReadChunk);
    const Connection& connection =
        connections_.emplace(socket, Connection{nextId_++, host, {}}).first->second;
    ++connectionsPerHost_[host];
    log_("connection #" + std::to_string(connection.id) + " from " + connection.peerHost);

    auto* loginTimer = new QTimer(socket);
    connect(loginTimer, &QTimer::timeout, this, [this, socket] { closeIfNoLogin(socket); });
    loginTimer->start(config_.loginTimeoutMs);

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

void ChatServer::closeIfNoLogin(QTcpSocket* socket)
{
    // Checked again every period, so a connection that logs out and idles
    // goes the same way.
    const auto found = connections_.find(socket);
    if (found == connections_.end() || router_.hasLogin(found->second.id))
        return;
    log_("closing connection #" + std::to_string(found->second.id) + " from " + found->second.peerHost
         + ": no login within " + std::to_string(config_.loginTimeoutMs / 1000) + " s");
    socket->abort();
}

void ChatServer::handleText(const Connection& connection, const std::string& text)
{
    RouteResult result = router_.handle(connection.id, connection.peerHost, text);
    log_(result.log);
    if (result.registered && !config_.stateFile.empty() && !saveTimer_->isActive())
        saveTimer_->start();
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
    if (--connectionsPerHost_[found->second.peerHost] == 0)
        connectionsPerHost_.erase(found->second.peerHost);
    connections_.erase(found);
    for (const std::string& line : router_.connectionClosed(id))
        log_(line);
    log_("connection #" + std::to_string(id) + " closed");
    socket->deleteLater();
}

} // namespace qornc::server
