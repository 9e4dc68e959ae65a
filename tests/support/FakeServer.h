// A scripted chat server on loopback: it takes request connections on a port of its own, keeps
// every block they carry, and opens delivery connections to the client's listener the way the
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
    // The texts of those blocks, in order.
    [[nodiscard]] std::vector<std::string> TextsStarting(const std::string& prefix) const;
    // Waits until at least count blocks starting with prefix have arrived.
    bool WaitForBlocks(const std::string& prefix, std::size_t count, int timeoutMs = 3000) const;
    // True once the latest request connection was closed by the client.
    [[nodiscard]] bool requestClosedByClient() const { return m_closedByClient; }

    // Writes on the latest request connection, as a server that answers in-band would.
    void WriteOnRequest(const QByteArray& bytes);
    // Ends the latest request connection with a reset.
    void ResetRequest();
    // Ends the latest request connection with a plain close, as a server that refuses a login.
    void CloseRequest();
    // Reads nothing more on request connections, as a server that hangs: the client's bytes pile up.
    void StopReading();

    // Opens a delivery connection to the listener and writes bytes on it (nothing when empty).
    // The connection is made and the bytes written out without running the event loop, so the
    // client has read nothing yet when this returns. The socket stays open; null when no
    // connection could be made.
    QTcpSocket* Deliver(quint16 listenerPort, const QByteArray& bytes = {},
                        const QHostAddress& from = QHostAddress(QHostAddress::LocalHost));
    // Delivers as the real server does, without waiting: connects, writes bytes and closes.
    void DeliverAndClose(quint16 listenerPort, const QByteArray& bytes);

private:
    void OnNewConnection();
    [[nodiscard]] QTcpSocket* latest() const { return m_requests.isEmpty() ? nullptr : m_requests.back().data(); }

    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_requests;
    QList<QByteArray> m_received; // per request connection
    bool m_closedByClient = false;
};
