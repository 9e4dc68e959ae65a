#include "net/CLinkSocket.h"

#include <QSignalBlocker>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include "net/SocketErrors.h"
#include "net/rules/ErrorNames.h"

CLinkSocket::CLinkSocket(NotificationSink sink, QObject* parent)
    : QObject(parent)
    , m_sink(std::move(sink))
{
}

void CLinkSocket::Attach(QTcpSocket* socket)
{
    Release();
    m_socket = socket;
    m_socket->setParent(this);
    m_framer = NotificationFramer{};
    m_textsTaken = 0;
    m_bytesTaken = 0;
    connect(m_socket, &QTcpSocket::readyRead, this, &CLinkSocket::OnReceive);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CLinkSocket::OnSocketError);
    connect(m_socket, &QTcpSocket::readChannelFinished, this, [this] {
        OnReceive();
        HandleUnterminated();
    });
}

void CLinkSocket::ConnectTo(const QString& host, quint16 port)
{
    Attach(new QTcpSocket(this));
    m_socket->connectToHost(host, port);
}

bool CLinkSocket::isConnected() const
{
    return m_socket != nullptr && m_socket->state() == QAbstractSocket::ConnectedState;
}

void CLinkSocket::KeepAlive()
{
    if (!isConnected())
        return;
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    // The system's default waits two hours before the first probe.
    constexpr int kIdleSeconds = 60;
    constexpr int kProbeIntervalSeconds = 10;
    constexpr int kProbes = 6;
    const int fd = int(m_socket->socketDescriptor());
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kIdleSeconds, sizeof kIdleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kProbeIntervalSeconds, sizeof kProbeIntervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kProbes, sizeof kProbes);
}

void CLinkSocket::OnReceive()
{
    if (m_socket == nullptr || !m_socket->isOpen())
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    m_bytesTaken += bytes.size();
    const auto texts = m_framer.Feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    for (const std::string& text : texts)
        m_sink(ParseNotification(text));
    m_textsTaken += int(texts.size());
    if (!texts.empty())
        emit received();
}

void CLinkSocket::HandleUnterminated()
{
    const std::string text = m_framer.Finish();
    if (text.empty())
        return;
    m_sink(ParseNotification(text));
    emit received();
}

void CLinkSocket::TakeInWaiting()
{
    if (m_socket == nullptr)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState && m_socket->isValid()) {
        const QSignalBlocker quiet(m_socket); // errors here are the peer's close: handled by readyRead's owner
        m_socket->waitForReadyRead(0);
    }
    OnReceive();
}

void CLinkSocket::Close()
{
    if (m_socket == nullptr)
        return;
    // Close is often called from our own error handler, and a zero-time wait reports a timeout
    // (or the peer's close) as an error: with the handlers still connected, that error would
    // come straight back here, without end.
    m_socket->disconnect(this);
    // A socket the peer has closed has lost its descriptor already, though not yet its state.
    if (m_socket->state() == QAbstractSocket::ConnectedState && m_socket->isValid())
        m_socket->waitForReadyRead(0); // pull in what the kernel already holds, without waiting
    OnReceive();
    HandleUnterminated();
    Release();
}

SendResult CLinkSocket::Send(std::string_view block)
{
    if (!isConnected())
        return SendResult{-1, wsa::kNotConnected};
    if (m_socket->bytesToWrite() + qint64(block.size()) > kMaxUnsentBytes)
        return SendResult{-1, wsa::kNoBuffers};
    const QPointer<QTcpSocket> socket = m_socket;
    const qint64 written = socket->write(block.data(), qint64(block.size()));
    if (written != qint64(block.size()))
        return SendResult{-1, WsaCodeFor(*socket)};
    // A reset peer shows only here; by the time flush returns, our error handler may have let
    // the socket go, and the block went nowhere: the caller must hear of it.
    socket->flush();
    if (socket != m_socket || !isConnected()) {
        const int code = socket != nullptr ? WsaCodeFor(*socket) : 0;
        return SendResult{-1, code != 0 ? code : wsa::kNotConnected};
    }
    return SendResult{long(written), 0};
}

void CLinkSocket::OnSocketError(QAbstractSocket::SocketError error)
{
    emit linkLost(m_socket != nullptr ? WsaCodeFor(*m_socket) : WsaCodeFor(error));
}

void CLinkSocket::CloseGracefully()
{
    if (m_socket == nullptr)
        return;
    QTcpSocket* socket = m_socket;
    socket->disconnect(this);
    m_socket = nullptr;
    // The logout block is still on its way: let it leave before the socket goes.
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState)
        socket->deleteLater();
}

bool CLinkSocket::WaitForBytesWritten(int timeoutMs)
{
    return m_socket == nullptr || m_socket->bytesToWrite() == 0 || m_socket->waitForBytesWritten(timeoutMs);
}

void CLinkSocket::Release()
{
    if (m_socket == nullptr)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}
