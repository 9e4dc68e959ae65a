#include "ChatServer.h"

#include "HashWorkerPool.h"
#include "common/PeerAddress.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <thread>
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
    return PlainAddressText(address.toString().toStdString());
}

std::size_t hashThreads(std::size_t configured)
{
    const std::size_t cores = std::thread::hardware_concurrency();
    return configured > 0 ? configured : std::clamp<std::size_t>(cores > 1 ? cores - 1 : 1, 1, 4);
}

std::string connectionName(ConnectionId id)
{
    return "connection #" + std::to_string(id);
}

} // namespace

ChatServer::ChatServer(ChatRouter router, ServerConfig config, LogSink log, std::unique_ptr<StateJournal> journal,
                       QObject* parent)
    : QObject(parent)
    , router_(std::move(router))
    , config_(std::move(config))
    , log_(std::move(log))
    , limits_(config_.maxConnections, config_.maxConnectionsPerHost)
    , tcpServer_(new QTcpServer(this))
    , dispatcher_(new NotifyDispatcher(config_.notifyPort, config_.dispatch, log_, this))
    , journal_(std::move(journal))
    , workers_(std::make_unique<HashWorkerPool>(hashThreads(config_.hashThreads), config_.maxQueuedChecks))
{
    tcpServer_->setListenBacklogSize(kListenBacklog);
    connect(tcpServer_, &QTcpServer::newConnection, this, &ChatServer::onNewConnection);
    if (!journal_) {
        journal_ = std::make_unique<StateJournal>();
        (void)journal_->open({}, log_, eventLoopPost());
    }
}

ChatServer::~ChatServer()
{
    // Before anything else goes, so that its last words are logged in order.
    journal_.reset();
}

StateJournal::Post ChatServer::eventLoopPost()
{
    return [](std::function<void()> task) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    };
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
        if (makeRoom(host)) {
            adopt(socket, host);
            continue;
        }
        socket->abort();
        socket->deleteLater();
    }
}

bool ChatServer::makeRoom(const std::string& host)
{
    const auto decision = limits_.decide(host, [this](ConnectionId id) {
        const Connection* connection = find(id);
        return connection && !connection->waiting && !router_.hasLogin(id);
    });
    if (!decision.admit) {
        log_("refused connection from " + host + ": " + decision.why);
        return false;
    }
    if (decision.evict)
        endConnection(*decision.evict,
                      "closing " + connectionName(*decision.evict) + " from " + find(*decision.evict)->host + ": "
                          + decision.why);
    return true;
}

void ChatServer::adopt(QTcpSocket* socket, const std::string& host)
{
    // Keepalive lets the kernel find peers that vanished without a FIN;
    // otherwise they would hold a connection slot, and stay online, forever.
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    socket->setReadBufferSize(kReadChunk);
    const ConnectionId id = nextId_++;
    connections_.emplace(id, Connection{socket, host});
    limits_.opened(id, host);
    log_(connectionName(id) + " from " + host);

    auto* loginTimer = new QTimer(socket);
    connect(loginTimer, &QTimer::timeout, this, [this, id] { closeIfNoLogin(id); });
    loginTimer->start(config_.loginTimeoutMs);

    connect(socket, &QTcpSocket::readyRead, this, [this, id] { pump(id); });
    connect(socket, &QTcpSocket::stateChanged, this, [this, id](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            onPeerClosed(id);
    });
}

void ChatServer::pump(ConnectionId id)
{
    // One text at a time, and none while the one before waits: a client's requests are answered
    // in the order it sent them.
    while (Connection* connection = find(id)) {
        if (connection->waiting)
            return;
        if (connection->texts.empty() && !readMore(id, *connection)) {
            if (connection->peerClosed) {
                forget(id);
                log_(connectionName(id) + " closed");
            }
            return;
        }
        if (!connection->texts.empty())
            handleFront(id, *connection);
    }
}

bool ChatServer::readMore(ConnectionId id, Connection& connection)
{
    const QByteArray chunk = connection.socket->read(kReadChunk);
    if (chunk.isEmpty())
        return false;
    std::vector<std::string> texts;
    const std::size_t droppedBefore = connection.framer.droppedRuns();
    connection.framer.Feed({chunk.constData(), static_cast<std::size_t>(chunk.size())}, texts);
    if (connection.framer.droppedRuns() != droppedBefore)
        log_("ignored: garbage without NUL on " + connectionName(id));
    for (std::string& text : texts)
        connection.texts.push_back(std::move(text));
    return true;
}

void ChatServer::handleFront(ConnectionId id, Connection& connection)
{
    RouteResult result = router_.handle(id, connection.host, connection.texts.front());
    // A text that waits for work is handled again once the work is done.
    if (result.work)
        connection.waiting = true;
    else
        connection.texts.pop_front();
    act(id, std::move(result));
}

void ChatServer::act(ConnectionId id, RouteResult result)
{
    if (result.work) {
        startWork(id, std::move(*result.work));
        return;
    }
    if (result.endConnection) {
        endConnection(id, result.log + "; " + connectionName(id) + " closed");
        return;
    }
    if (!result.log.empty())
        log_(result.log);
    if (result.notification)
        dispatcher_->send(std::move(*result.notification));
}

void ChatServer::startWork(ConnectionId id, PasswordWork work)
{
    const auto shared = std::make_shared<const PasswordWork>(std::move(work));
    const auto outcome = std::make_shared<WorkOutcome>();
    workers_->submit(
        shared->rank, [shared, outcome] { *outcome = perform(*shared); },
        [this, id, host = find(id)->host, shared, outcome](bool ran) {
            onWorkDone(id, host, *shared, ran ? *outcome : WorkOutcome{});
        });
}

void ChatServer::onWorkDone(ConnectionId id, const std::string& host, const PasswordWork& work,
                            const WorkOutcome& outcome)
{
    const bool open = find(id) != nullptr;
    RouteResult result = router_.finish(open ? std::optional(id) : std::nullopt, host, work, outcome);
    // A new name is used only once it is on disk, so that no restart can give it to another password.
    if (result.registered) {
        journal_->appendAccount(work.name, router_.accounts().storedHash(work.name),
                                [guard = QPointer<ChatServer>(this), name = work.name] {
                                    if (guard)
                                        guard->accountSaved(name);
                                });
        return;
    }
    // The old hash holds the same password until the new one is on disk, so nobody waits for it.
    if (result.rehashed)
        journal_->appendAccount(work.name, router_.accounts().storedHash(work.name), {});
    if (!open) {
        if (!result.log.empty())
            log_(result.log);
        return;
    }
    if (!result.endConnection)
        find(id)->waiting = false;
    act(id, std::move(result));
    pump(id);
}

void ChatServer::accountSaved(const std::string& name)
{
    const auto id = router_.accountSaved(name);
    if (Connection* connection = id ? find(*id) : nullptr) {
        connection->waiting = false;
        pump(*id);
    }
}

void ChatServer::closeIfNoLogin(ConnectionId id)
{
    // Checked again every period, so a connection that logs out and idles
    // goes the same way.
    const Connection* connection = find(id);
    if (!connection || connection->waiting || router_.hasLogin(id))
        return;
    endConnection(id, "closing " + connectionName(id) + " from " + connection->host + ": no login within "
                          + std::to_string(config_.loginTimeoutMs / 1000) + " s");
}

void ChatServer::onPeerClosed(ConnectionId id)
{
    // Anything still buffered was sent before the close and still counts (a final logout, say);
    // pump forgets the connection once all of it is handled.
    if (Connection* connection = find(id)) {
        connection->peerClosed = true;
        pump(id);
    }
}

void ChatServer::endConnection(ConnectionId id, const std::string& line)
{
    log_(line);
    forget(id);
}

void ChatServer::forget(ConnectionId id)
{
    const auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    QTcpSocket* socket = found->second.socket;
    socket->disconnect(this);
    limits_.closed(id);
    connections_.erase(found);
    for (const std::string& line : router_.connectionClosed(id))
        log_(line);
    socket->abort();
    socket->deleteLater();
}

ChatServer::Connection* ChatServer::find(ConnectionId id)
{
    const auto found = connections_.find(id);
    return found == connections_.end() ? nullptr : &found->second;
}

} // namespace qornc::server
