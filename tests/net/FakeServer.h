// A scripted chat server for the client's network layer: it takes request connections on a
// loopback port of its own, keeps every byte they carry, and opens delivery connections to the
// client's listener the way the real server does, from any local address the test picks.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class FakeServer : public QObject {
public:
    FakeServer();

    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }

    // Every byte received on request connections, in arrival order.
    [[nodiscard]] const QByteArray& requestBytes() const { return m_requestBytes; }
    [[nodiscard]] int requestConnections() const { return m_connections; }
    // True once the latest request connection was closed by the client.
    [[nodiscard]] bool requestClosedByClient() const { return m_closedByClient; }
    bool WaitForRequestBytes(qsizetype count, int timeoutMs = 5000) const;
    bool WaitForRequestConnection(int timeoutMs = 5000) const;

    // Writes on the latest request connection, as a server that answers in-band would.
    void WriteOnRequest(const QByteArray& bytes);
    // Ends the latest request connection: an orderly close, or a reset that drops unread data.
    void CloseRequest();
    void ResetRequest();

    // Opens a delivery connection to the listener and writes bytes on it (nothing when empty).
    // Returns null when the connection could not be made.
    QTcpSocket* Deliver(quint16 listenerPort, const QByteArray& bytes = {},
                        const QHostAddress& from = QHostAddress(QHostAddress::LocalHost));

private:
    void OnNewConnection();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_request;
    QByteArray m_requestBytes;
    int m_connections = 0;
    bool m_closedByClient = false;
};

// "text" with its terminating NUL, as a notification travels.
[[nodiscard]] QByteArray NulText(const char* text);
