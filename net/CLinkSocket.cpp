#include "net/CLinkSocket.h"

#include "app/ClientState.h"
#include "net/ErrorNames.h"
#include "net/NotificationHandler.h"
#include "net/SocketErrors.h"

CLinkSocket::CLinkSocket(ClientState& state, QObject* parent)
    : QObject(parent)
    , m_state(state)
{
}

void CLinkSocket::Attach(QTcpSocket* socket)
{
    Release();
    m_socket = socket;
    m_socket->setParent(this);
    m_framer = NotificationFramer{};
    connect(m_socket, &QTcpSocket::readyRead, this, &CLinkSocket::OnReceive);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CLinkSocket::OnSocketError);
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

void CLinkSocket::OnReceive()
{
    if (m_socket == nullptr)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    const auto texts = m_framer.Feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    for (const std::string& text : texts)
        HandleNotification(m_state, text);
    if (!texts.empty())
        emit received();
}

void CLinkSocket::Close()
{
    if (m_socket == nullptr)
        return;
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->waitForReadyRead(0); // pull in what the kernel already holds, without waiting
    OnReceive();
    Release();
}

SendResult CLinkSocket::Send(std::string_view block)
{
    if (!isConnected())
        return SendResult{-1, wsa::kNotConnected};
    const qint64 written = m_socket->write(block.data(), qint64(block.size()));
    if (written != qint64(block.size()))
        return SendResult{-1, WsaCodeFor(m_socket->error())};
    m_socket->flush();
    return SendResult{long(written), 0};
}

void CLinkSocket::OnSocketError(QAbstractSocket::SocketError error)
{
    emit linkLost(WsaCodeFor(error));
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
