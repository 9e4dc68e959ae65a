#include "FakeServer.h"

#include <QTest>

FakeServer::FakeServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            const qsizetype index = m_received.size();
            m_received.append(QByteArray());
            m_clients.append(socket);
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket, index] { m_received[index].append(socket->readAll()); });
        }
    });
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

bool FakeServer::WaitFor(const std::string& prefix, std::size_t count, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return BlocksStarting(prefix).size() >= count; }, timeoutMs);
}

void FakeServer::Deliver(quint16 port, const QByteArray& text)
{
    auto* socket = new QTcpSocket(this);
    m_deliveries.append(socket);
    connect(socket, &QTcpSocket::connected, socket, [socket, text] {
        socket->write(text + QByteArray(1, '\0'));
        socket->disconnectFromHost();
    });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToHost(QHostAddress::LocalHost, port);
}

bool FakeServer::WaitDelivered(int timeoutMs) const
{
    return QTest::qWaitFor(
        [&] {
            for (const QPointer<QTcpSocket>& socket : m_deliveries) {
                if (socket != nullptr)
                    return false;
            }
            return true;
        },
        timeoutMs);
}

void FakeServer::DropClients()
{
    for (const QPointer<QTcpSocket>& socket : m_clients) {
        if (socket != nullptr)
            socket->close();
    }
}

quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
