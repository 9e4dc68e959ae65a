#pragma once

#include <asio/io_context.hpp>

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server::test {

// The loop the server under test runs on; waitFor turns it along with Qt's.
asio::io_context& serverLoop();

// Runs both event loops until `done` holds or the time is up.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000);

// `text`, its NUL and NUL fill up to `blockSize`, as the client sends it.
QByteArray block(std::string_view text, int blockSize = 128);
// A notification as it must arrive: the text and its NUL.
inline QByteArray note(const std::string& text) { return QByteArray::fromStdString(text) + '\0'; }

// Stands in for the clients' notification port: keeps what each accepted
// connection carried, in the order the connections closed.
class NotifySink : public QObject {
public:
    explicit NotifySink(const char* address = "127.0.0.1", quint16 port = 0, int backlog = 50);

    quint16 port() const { return server_.serverPort(); }
    QTcpServer& server() { return server_; }
    const std::vector<QByteArray>& received() const { return received_; }
    bool waitForCount(std::size_t n, int ms = 5000) const { return waitFor([&] { return received_.size() >= n; }, ms); }

private:
    void onNewConnection();

    QTcpServer server_;
    std::vector<QByteArray> received_;
};

// A request connection to the server under test, from `from` (any 127/8
// address stands in for another host).
class RequestClient {
public:
    explicit RequestClient(quint16 port, const char* from = "127.0.0.1");

    void send(std::string_view text, int blockSize = 128) { sendRaw(block(text, blockSize)); }
    void sendRaw(const QByteArray& bytes) { socket_.write(bytes); }
    bool isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }

private:
    QTcpSocket socket_;
};

// Runs the current test again in network and mount namespaces of its own, as root, where all of
// 127/8 is local, ports are private and file systems may be mounted. Empty inside that run;
// outside, why it could not run, or its exit code and output.
struct NamespaceRun {
    bool unavailable = false;
    int exitCode = 0;
    std::string output;
};
std::optional<NamespaceRun> rerunInOwnNamespace();

} // namespace qornc::server::test

// Opens a test that must run in namespaces of its own: outside them, it runs the test there and
// reports its outcome.
#define QORNC_IN_OWN_NAMESPACE()                                                                   \
    if (const auto run = ::qornc::server::test::rerunInOwnNamespace()) {                           \
        if (run->unavailable)                                                                      \
            GTEST_SKIP() << "needs root and network and mount namespaces";                         \
        EXPECT_EQ(run->exitCode, 0) << run->output;                                                \
        return;                                                                                    \
    }
