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

namespace qornc::server {

struct ServerConfig {
    QHostAddress listenAddress = QHostAddress::AnyIPv4;
    quint16 port = 22001;
    quint16 notifyPort = 22002;
    std::size_t maxConnections = 1000;
    DispatchLimits dispatch;
};

// Accepts request connections, cuts their streams into requests, and hands
// what the router decides to the dispatcher. It never writes on a request
// connection.
class ChatServer : public QObject {
    Q_OBJECT

public:
    ChatServer(ChatRouter router, ServerConfig config, LogSink log, QObject* parent = nullptr);

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
    void adopt(QTcpSocket* socket);
    void onReadable(QTcpSocket* socket);
    void onClosed(QTcpSocket* socket);
    void handleText(const Connection& connection, const std::string& text);

    ChatRouter router_;
    ServerConfig config_;
    LogSink log_;
    QTcpServer* tcpServer_;
    NotifyDispatcher* dispatcher_;
    std::unordered_map<QTcpSocket*, Connection> connections_;
    ConnectionId nextId_ = 1;
};

} // namespace qornc::server
