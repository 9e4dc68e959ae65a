// The client's one socket class: a TCP connection whose every arriving byte goes through the one
// receive path (framer, parser, then the notification sink the owner gave), whatever role the
// link plays. The socket reports what it parsed; what that changes is decided above it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpSocket>

#include <functional>

#include "common/NotificationFramer.h"
#include "common/NotificationParser.h"
#include "net/rules/RequestSender.h"

// Takes every notification a link parsed, in arrival order, before the link says it received.
using NotificationSink = std::function<void(Notification)>;

class CLinkSocket : public QObject, public RequestSender {
    Q_OBJECT

public:
    // Past this many bytes waiting to leave, a peer that stopped reading is not fed any more.
    // Room for a whole refresh of the longest contact list (4000 blocks of 128 bytes) on a link
    // whose kernel buffer is small, so only a peer that really stopped reading meets it.
    static constexpr qint64 kMaxUnsentBytes = 1024 * 1024;

    explicit CLinkSocket(NotificationSink sink, QObject* parent = nullptr);

    // Takes over a connected socket (an accepted delivery connection).
    void Attach(QTcpSocket* socket);
    // Starts a connection to host:port on a fresh socket, closing any earlier one first.
    void ConnectTo(const QString& host, quint16 port);
    [[nodiscard]] QTcpSocket* socket() const { return m_socket; }
    [[nodiscard]] bool isConnected() const;
    // True once a whole notification has arrived on the current connection.
    [[nodiscard]] bool hasReceived() const { return m_textsTaken > 0; }
    // True once any byte has arrived on the current connection, NUL padding included.
    [[nodiscard]] bool hasTakenBytes() const { return m_bytesTaken > 0; }
    // Probes an idle link, so a peer that vanished without a reset is noticed within minutes.
    void KeepAlive();

    // Reads whatever has arrived, from the socket's buffer and the kernel's, and handles it.
    void OnReceive();
    // Takes in what is waiting, then closes: a notification already here is never dropped.
    void Close();
    // Reads what has arrived, without waiting and without closing.
    void TakeInWaiting();
    // Lets what was sent leave, then closes: for the request connection after its logout.
    void CloseGracefully();
    // Waits, bounded, until what was sent has left; for the last logout before the process ends.
    bool WaitForBytesWritten(int timeoutMs);

    // Hands the whole block to the connection; -1 with a Windows Sockets code on failure, and
    // WSAENOBUFS when the block would take the unsent bytes past kMaxUnsentBytes.
    SendResult Send(std::string_view block) override;

signals:
    void received();      // the sink took a notification: the idle pump has work
    void linkLost(int errorCode); // any socket error, a close by the peer included

private:
    void OnSocketError(QAbstractSocket::SocketError error);
    void HandleUnterminated();
    void Release();

    NotificationSink m_sink;
    QPointer<QTcpSocket> m_socket;
    NotificationFramer m_framer;
    int m_textsTaken = 0;
    qint64 m_bytesTaken = 0;
};
