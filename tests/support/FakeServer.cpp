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
        const qsizetype index = m_received.size();
        m_received.append(QByteArray());
        m_requests.append(socket);
        m_closedByClient = false;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] { OnBytes(socket, index); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (!m_requests.isEmpty() && socket == m_requests.back())
                m_closedByClient = true;
        });
    }
}

void FakeServer::OnBytes(QTcpSocket* socket, qsizetype index)
{
    const QByteArray bytes = socket->readAll();
    m_received[index].append(bytes);
    m_requestBytes.append(bytes);
    if (m_hangUpPrefix && !BlocksStarting(*m_hangUpPrefix).empty()) {
        m_requests[index] = nullptr; // nothing more is written on a connection given up on
        socket->abort();
    }
}

bool FakeServer::WaitForRequestBytes(qsizetype count, int timeoutMs) const
{
    return WaitFor([&] { return m_requestBytes.size() >= count; }, timeoutMs);
}

bool FakeServer::WaitForRequestConnection(int timeoutMs) const
{
    return WaitFor([&] { return !m_requests.isEmpty() && m_requests.back() != nullptr; }, timeoutMs);
}

std::vector<RequestRecord> FakeServer::Blocks() const
{
    // A block is its text, a NUL and NUL fill: the next block starts at the next non-NUL byte.
    std::vector<RequestRecord> blocks;
    for (const QByteArray& bytes : m_received) {
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype end = bytes.indexOf('\0', start);
            if (end < 0)
                end = bytes.size();
            const std::string text(bytes.constData() + start, std::size_t(end - start));
            while (end < bytes.size() && bytes[end] == '\0')
                ++end;
            blocks.push_back({text, std::size_t(end - start)});
            start = end;
        }
    }
    return blocks;
}

std::vector<RequestRecord> FakeServer::BlocksStarting(const std::string& prefix) const
{
    std::vector<RequestRecord> matching;
    for (RequestRecord& block : Blocks()) {
        if (block.text.starts_with(prefix))
            matching.push_back(std::move(block));
    }
    return matching;
}

bool FakeServer::WaitForBlocks(const std::string& prefix, std::size_t count, int timeoutMs) const
{
    return WaitFor([&] { return BlocksStarting(prefix).size() >= count; }, timeoutMs);
}

std::string FakeServer::Transcript() const
{
    std::string joined;
    for (const RequestRecord& block : Blocks())
        joined += (joined.empty() ? "" : "|") + block.text;
    return joined;
}

void FakeServer::WriteOnRequest(const QByteArray& bytes)
{
    if (m_requests.isEmpty() || m_requests.back() == nullptr)
        return;
    m_requests.back()->write(bytes);
    m_requests.back()->flush();
}

void FakeServer::CloseRequests()
{
    for (const QPointer<QTcpSocket>& socket : m_requests) {
        if (socket != nullptr)
            socket->disconnectFromHost();
    }
}

void FakeServer::ResetRequest()
{
    if (m_requests.isEmpty() || m_requests.back() == nullptr)
        return;
    QTcpSocket* socket = m_requests.back();
    // A zero linger time makes the close send RST instead of FIN.
    const linger hard{1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    socket->abort();
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
    m_openDeliveries.append(socket);
    return socket;
}

void FakeServer::DeliverAndClose(quint16 listenerPort, const QByteArray& bytes)
{
    auto* socket = new QTcpSocket(this);
    m_closingDeliveries.append(socket);
    connect(socket, &QTcpSocket::connected, socket, [socket, bytes] {
        socket->write(bytes);
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToHost(QHostAddress::LocalHost, listenerPort);
}

bool FakeServer::WaitDelivered(int timeoutMs) const
{
    return WaitFor(
        [&] {
            for (const QPointer<QTcpSocket>& socket : m_closingDeliveries) {
                if (socket != nullptr)
                    return false;
            }
            for (const QPointer<QTcpSocket>& socket : m_openDeliveries) {
                if (socket != nullptr && socket->state() == QAbstractSocket::ConnectedState &&
                    socket->bytesToWrite() > 0)
                    return false;
            }
            return true;
        },
        timeoutMs);
}
