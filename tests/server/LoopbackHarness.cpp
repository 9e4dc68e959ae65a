#include "LoopbackHarness.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <stdexcept>

namespace qornc::server::test {

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QByteArray block(std::string_view text, int blockSize)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())).leftJustified(blockSize, '\0');
}

NotifySink::NotifySink()
{
    if (!server_.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("notify sink cannot listen");
    QObject::connect(&server_, &QTcpServer::newConnection, this, &NotifySink::onNewConnection);
}

void NotifySink::onNewConnection()
{
    // Unread bytes stay in the socket's buffer, so the whole text is there at the close.
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            received_.push_back(socket->readAll());
            socket->deleteLater();
        });
    }
}

RequestClient::RequestClient(quint16 port, const char* from)
{
    socket_.bind(QHostAddress(QString::fromLatin1(from)));
    socket_.connectToHost(QHostAddress::LocalHost, port);
    if (!waitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState; }))
        throw std::runtime_error("cannot connect to the server under test");
}

} // namespace qornc::server::test
