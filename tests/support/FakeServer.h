// A scripted chat server on loopback: it takes request connections on a port of its own, keeps
// every byte they carry, and opens delivery connections to the client's listener the way the
// real server does, from any local address the test picks.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstddef>
#include <optional>
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

    // Every byte received on request connections, in arrival order.
    [[nodiscard]] const QByteArray& requestBytes() const { return m_requestBytes; }
    [[nodiscard]] int requestConnections() const { return int(m_requests.size()); }
    // True once the latest request connection was closed by the client.
    [[nodiscard]] bool requestClosedByClient() const { return m_closedByClient; }
    bool WaitForRequestBytes(qsizetype count, int timeoutMs = 5000) const;
    bool WaitForRequestConnection(int timeoutMs = 5000) const;

    // Every block received so far, connection by connection.
    [[nodiscard]] std::vector<RequestRecord> Blocks() const;
    // Blocks whose text starts with prefix (e.g. "getbuddy ").
    [[nodiscard]] std::vector<RequestRecord> BlocksStarting(const std::string& prefix) const;
    // Waits until at least count blocks starting with prefix have arrived.
    bool WaitForBlocks(const std::string& prefix, std::size_t count, int timeoutMs = 3000) const;
    // The texts of every block joined by '|', for failure messages.
    [[nodiscard]] std::string Transcript() const;

    // Writes on the latest request connection, as a server that answers in-band would.
    void WriteOnRequest(const QByteArray& bytes);
    // Ends request connections: every open one in an orderly close, or the latest with a reset
    // that drops unread data.
    void CloseRequests();
    void ResetRequest();
    // Once a block starting with prefix has arrived, every request connection that sends
    // anything is dropped at once, as by a server that gives up at that request.
    void HangUpOnceAsked(const std::string& prefix) { m_hangUpPrefix = prefix; }

    // Opens a delivery connection to the listener and writes bytes on it (nothing when empty).
    // The connection is made without running the event loop, so the client has read nothing yet
    // when this returns. The socket stays open; null when no connection could be made.
    QTcpSocket* Deliver(quint16 listenerPort, const QByteArray& bytes = {},
                        const QHostAddress& from = QHostAddress(QHostAddress::LocalHost));
    // Delivers as the real server does, without waiting: connects, writes bytes and closes.
    void DeliverAndClose(quint16 listenerPort, const QByteArray& bytes);
    // Waits until every delivery so far is written out: those that close are closed, those kept
    // open have nothing left to write.
    bool WaitDelivered(int timeoutMs = 3000) const;

private:
    void OnNewConnection();
    void OnBytes(QTcpSocket* socket, qsizetype index);

    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_requests;
    QList<QByteArray> m_received; // per request connection
    QByteArray m_requestBytes;
    bool m_closedByClient = false;
    std::optional<std::string> m_hangUpPrefix;
    QList<QPointer<QTcpSocket>> m_openDeliveries;
    QList<QPointer<QTcpSocket>> m_closingDeliveries;
};
