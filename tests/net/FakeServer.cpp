#include "FakeServer.h"

#include <sys/socket.h>

#include "WaitFor.h"

FakeServer::FakeServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &FakeServer::OnNewConnection);
}

void FakeServer::OnNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_request = socket;
        ++m_connections;
        m_closedByClient = false;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { m_requestBytes += socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (socket == m_request)
                m_closedByClient = true;
        });
    }
}

bool FakeServer::WaitForRequestBytes(qsizetype count, int timeoutMs) const
{
    return WaitFor([&] { return m_requestBytes.size() >= count; }, timeoutMs);
}

bool FakeServer::WaitForRequestConnection(int timeoutMs) const
{
    return WaitFor([&] { return m_request != nullptr; }, timeoutMs);
}

void FakeServer::WriteOnRequest(const QByteArray& bytes)
{
    if (m_request == nullptr)
        return;
    m_request->write(bytes);
    m_request->flush();
}

void FakeServer::CloseRequest()
{
    if (m_request != nullptr)
        m_request->disconnectFromHost();
}

void FakeServer::ResetRequest()
{
    if (m_request == nullptr)
        return;
    // A zero linger time makes the close send RST instead of FIN.
    const linger hard{1, 0};
    ::setsockopt(int(m_request->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    m_request->abort();
}

QTcpSocket* FakeServer::Deliver(quint16 listenerPort, const QByteArray& bytes, const QHostAddress& from)
{
    auto* socket = new QTcpSocket(this);
    if (!socket->bind(from)) {
        socket->deleteLater();
        return nullptr;
    }
    socket->connectToHost(QHostAddress(QHostAddress::LocalHost), listenerPort);
    // The kernel completes a loopback handshake without the listener's event loop running.
    if (!socket->waitForConnected(2000)) {
        socket->deleteLater();
        return nullptr;
    }
    if (!bytes.isEmpty()) {
        socket->write(bytes);
        socket->flush();
    }
    return socket;
}

QByteArray NulText(const char* text)
{
    QByteArray bytes(text);
    bytes.append('\0');
    return bytes;
}
