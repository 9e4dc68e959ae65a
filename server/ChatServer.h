#pragma once

#include "ChatRouter.h"
#include "ConnectionLimits.h"
#include "LogSink.h"
#include "NotifyDispatcher.h"
#include "StateJournal.h"
#include "common/Protocol.h"
#include "common/RequestFramer.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>

class QTcpServer;
class QTcpSocket;

namespace qornc::server {

class HashWorkerPool;

struct ServerConfig {
    QHostAddress listenAddress = QHostAddress::AnyIPv4;
    quint16 port = kServerPort;
    quint16 notifyPort = kNotifyPort;
    // The last guard; one host alone gets far fewer.
    std::size_t maxConnections = 1000;
    std::size_t maxConnectionsPerHost = 16;
    // A connection with no name logged in over it is closed after this long.
    int loginTimeoutMs = 30'000;
    // Password checks and hashes waiting for a worker thread.
    std::size_t maxQueuedChecks = 16;
    // 0: one per core but one, which stays with the event loop; at least one, at most four.
    std::size_t hashThreads = 0;
    DispatchLimits dispatch;
    std::string stateFile; // empty: registered names live only as long as the server
};

// Accepts request connections, cuts their streams into requests and hands each to the router in
// order, a connection waiting while its password is checked; sends what the router decides, ends
// the connections it refuses, and brings a new name into use only once the state journal holds it.
// It never writes on a request connection.
class ChatServer : public QObject {
    Q_OBJECT

public:
    // No `journal` keeps nothing beyond the server's life.
    ChatServer(ChatRouter router, ServerConfig config, LogSink log, std::unique_ptr<StateJournal> journal = nullptr,
               QObject* parent = nullptr);
    // Writes what the journal still holds, whatever happened before.
    ~ChatServer() override;

    // Runs a task from any thread on the event loop: how the journal reports back.
    static StateJournal::Post eventLoopPost();

    bool listen(QString& error);
    quint16 port() const;
    std::size_t connectionCount() const { return connections_.size(); }
    std::size_t pendingNotifications() const { return dispatcher_->pending(); }
    const ChatRouter& router() const { return router_; }

private:
    struct Connection {
        QTcpSocket* socket;
        std::string host;
        RequestFramer framer{};
        std::deque<std::string> texts{}; // not handled yet; the front one may wait for slow work
        bool waiting = false;            // for slow work or a save
        bool peerClosed = false;
    };

    void onNewConnection();
    bool makeRoom(const std::string& host);
    void adopt(QTcpSocket* socket, const std::string& host);
    void pump(ConnectionId id);
    bool readMore(ConnectionId id, Connection& connection);
    void handleFront(ConnectionId id, Connection& connection);
    void act(ConnectionId id, RouteResult result);
    void startWork(ConnectionId id, PasswordWork work);
    void onWorkDone(ConnectionId id, const std::string& host, const PasswordWork& work, const WorkOutcome& outcome);
    void accountSaved(const std::string& name);
    void closeIfNoLogin(ConnectionId id);
    void onPeerClosed(ConnectionId id);
    void endConnection(ConnectionId id, const std::string& why);
    void forget(ConnectionId id);
    Connection* find(ConnectionId id);

    ChatRouter router_;
    ServerConfig config_;
    LogSink log_;
    ConnectionLimits limits_;
    QTcpServer* tcpServer_;
    NotifyDispatcher* dispatcher_;
    std::unique_ptr<StateJournal> journal_;
    std::map<ConnectionId, Connection> connections_;
    ConnectionId nextId_ = 1;
    // Last, so that its threads stop before anything their results would reach goes.
    std::unique_ptr<HashWorkerPool> workers_;
};

} // namespace qornc::server
