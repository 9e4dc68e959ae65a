#include "LoopbackHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace qornc::server::test {

asio::io_context& serverLoop()
{
    static asio::io_context loop(1);
    return loop;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        serverLoop().restart();
        serverLoop().poll();
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QByteArray block(std::string_view text, int blockSize)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())).leftJustified(blockSize, '\0');
}

NotifySink::NotifySink(const char* address, quint16 port, int backlog)
{
    server_.setListenBacklogSize(backlog);
    if (!server_.listen(QHostAddress(QString::fromLatin1(address)), port))
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

std::optional<NamespaceRun> rerunInOwnNamespace()
{
    if (qEnvironmentVariableIsSet("QORNC_OWN_NAMESPACE"))
        return std::nullopt;
    if (QProcess::execute(QStringLiteral("unshare"), {"--net", "--mount", "true"}) != 0)
        return NamespaceRun{true, 0, {}};
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    // Thousands of connections, each with both ends in this process, need more descriptors.
    child.start(QStringLiteral("unshare"),
                {"--net", "--mount", "sh", "-c",
                 "ip link set lo up && ulimit -n $(ulimit -Hn) && exec env QORNC_OWN_NAMESPACE=1 \"$0\" \"$1\"",
                 QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    if (!child.waitForFinished(180'000))
        child.kill();
    child.waitForFinished();
    return NamespaceRun{false, child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
                        child.readAll().toStdString()};
}

} // namespace qornc::server::test
