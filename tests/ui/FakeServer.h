// A chat server stand-in on 127.0.0.1: records every request block the client sends, in arrival
// order, and opens delivery connections to the client's listener on demand.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <string>
#include <vector>

struct RequestRecord {
    std::string text; // up to the first NUL
    std::size_t size; // the whole block, NUL fill included
};

class FakeServer : public QObject {
public:
    FakeServer();

    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    // Every block received so far, connection by connection.
    [[nodiscard]] std::vector<RequestRecord> Blocks() const;
    // Blocks whose text starts with prefix (e.g. "getbuddy ").
    [[nodiscard]] std::vector<RequestRecord> BlocksStarting(const std::string& prefix) const;
    // Waits until at least count blocks starting with prefix have arrived.
    bool WaitFor(const std::string& prefix, std::size_t count, int timeoutMs = 3000) const;

    // Opens a connection to 127.0.0.1:port, writes text and its NUL, and closes.
    void Deliver(quint16 port, const QByteArray& text);
    // Waits until every delivery so far has been written and closed.
    bool WaitDelivered(int timeoutMs = 3000) const;
    // Closes every request connection, as a server going away would.
    void DropClients();

private:
    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_clients;
    QList<QByteArray> m_received;
    QList<QPointer<QTcpSocket>> m_deliveries;
};

// A loopback port that nobody listens on: connecting to it is refused.
[[nodiscard]] quint16 ClosedPort();
