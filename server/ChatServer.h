#pragma once

#include "BlockFramer.h"
#include "ChatRouter.h"
#include "LogSink.h"
#include "NotifyDispatcher.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <cstddef>
#include <string>
#include <unordered_map>

class QTcpServer;
class QTcpSocket;
class QTimer;

namespace qornc::server {

struct ServerConfig {
    QHostAddress listenAddress = QHostAddress::AnyIPv4;
    quint16 port = 22001;
    quint16 notifyPort = 22002;
    // The last guard; one host alone gets far fewer.
    std::size_t maxConnections = 1000;
    std::size_t maxConnectionsPerHost = 16;
    // A connection with no name logged in over it is closed after this long.
    int loginTimeoutMs = 30'000;
    DispatchLimits dispatch;
    std::string stateFile; // empty: registered names live only as long as the server
    int stateSaveDelayMs = 1'000;
};

// Accepts request connections, cuts their streams into requests, and hands
// what the router decides to the dispatcher. It never writes on a request
// connection.
class ChatServer : public QObject {
    Q_OBJECT

public:
    ChatServer(ChatRouter router, ServerConfig config, LogSink log, QObject* parent = nullptr);
    // Writes the state file if a registration is still waiting to be saved.
    ~ChatServer() override;

    bool listen(QString& error);
    quint16 port() const;
    std::size_t connectionCount() const { return connections_.size(); }
    std::size_t pendingNotifications() const { return dispatcher_->pending(); }
    const ChatRouter& router() const { return router_; }

private:
    struct Connection {
        ConnectionId id;
        std::string peerHost;
        BlockFramer framer;
    };

    void onNewConnection();
    bool refuse(QTcpSocket* socket, const std::string& host);
    void adopt(QTcpSocket* socket, const std::string& host);
    void closeIfNoLogin(QTcpSocket* socket);
    void saveState();
    void onReadable(QTcpSocket* socket);
    void onClosed(QTcpSocket* socket);
    void handleText(const Connection& connection, const std::string& text);

    ChatRouter router_;
    ServerConfig config_;
    LogSink log_;
    QTcpServer* tcpServer_;
    NotifyDispatcher* dispatcher_;
    QTimer* saveTimer_;
    std::unordered_map<QTcpSocket*, Connection> connections_;
    std::unordered_map<std::string, std::size_t> connectionsPerHost_;
    ConnectionId nextId_ = 1;
};

} // namespace qornc::server
