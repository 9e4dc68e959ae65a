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
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] { m_received[index] += socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_closedByClient = socket == latest(); });
    }
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

std::vector<std::string> FakeServer::TextsStarting(const std::string& prefix) const
{
    std::vector<std::string> texts;
    for (RequestRecord& block : BlocksStarting(prefix))
        texts.push_back(std::move(block.text));
    return texts;
}

bool FakeServer::WaitForBlocks(const std::string& prefix, std::size_t count, int timeoutMs) const
{
    return WaitFor([&] { return BlocksStarting(prefix).size() >= count; }, timeoutMs);
}

void FakeServer::WriteOnRequest(const QByteArray& bytes)
{
    if (QTcpSocket* socket = latest()) {
        socket->write(bytes);
        socket->flush();
    }
}

void FakeServer::ResetRequest()
{
    if (QTcpSocket* socket = latest()) {
        // A zero linger time makes the close send RST instead of FIN.
        const linger hard{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        socket->abort();
    }
}

void FakeServer::CloseRequest()
{
    if (QTcpSocket* socket = latest()) {
        socket->disconnect(this); // closed by us, not by the client
        socket->disconnectFromHost();
    }
}

void FakeServer::StopReading()
{
    for (const QPointer<QTcpSocket>& socket : m_requests) {
        if (socket != nullptr) {
            socket->disconnect(this);
            socket->setReadBufferSize(1); // Qt stops taking bytes from the kernel once it holds one
        }
    }
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
    socket->write(bytes);
    socket->waitForBytesWritten(2000);
    return socket;
}

void FakeServer::DeliverAndClose(quint16 listenerPort, const QByteArray& bytes)
{
    auto* socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, socket, [socket, bytes] {
        socket->write(bytes);
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToHost(QHostAddress::LocalHost, listenerPort);
}
