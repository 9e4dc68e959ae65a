#include "ChatServer.h"
#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <memory>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace qornc::server;
using namespace qornc::server::test;

// Routing decisions are the router's tests; these check what reaches the wire
// while one host misbehaves. 127.0.0.5 plays the hostile host.
namespace {

QByteArray note(const std::string& text)
{
    return QByteArray::fromStdString(text) + '\0';
}

// Raw descriptors: thousands of QTcpSockets would only slow the test down.
class RawSockets {
public:
    ~RawSockets()
    {
        for (const int fd : fds_)
            ::close(fd);
    }
    // A non-blocking connect from `from`, or a listener that never accepts when `port` is free there.
    void open(const char* from, quint16 port, bool listen)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address{AF_INET, 0, {}, {}};
        ::inet_pton(AF_INET, from, &address.sin_addr);
        address.sin_port = listen ? htons(port) : 0;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
        address.sin_port = htons(port);
        listen ? ::listen(fd, 0) : ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fds_.push_back(fd);
    }

private:
    std::vector<int> fds_;
};

class ChatServerLoopback : public ::testing::Test {
protected:
    void start(ServerConfig config = {})
    {
        config.listenAddress = QHostAddress::LocalHost;
        config.port = 0;
        config.notifyPort = sink.port();
        AccountBook book(AccountBook::kDefaultCapacity, PasswordHasher(PasswordHasher::cheapestCost()));
        server = std::make_unique<ChatServer>(ChatRouter(std::move(book), {"echo"}), config,
                                              [this](const std::string& line) { logs += line + "\n"; });
        QString error;
        ASSERT_TRUE(server->listen(error)) << error.toStdString();
    }

    std::unique_ptr<RequestClient> loggedIn(const std::string& name, const char* from = "127.0.0.1")
    {
        auto client = std::make_unique<RequestClient>(server->port(), from);
        client->send("login " + name + " pw");
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline(name); })) << name;
        return client;
    }

    bool logged(const std::string& part) const { return logs.find(part) != std::string::npos; }

    NotifySink sink;
    std::unique_ptr<ChatServer> server;
    std::string logs;
};

} // namespace

TEST_F(ChatServerLoopback, IdleConnectionsFromOneHostLeaveRoomForOthers)
{
    start();
    RawSockets idle;
    for (int i = 0; i < 3000; ++i) {
        idle.open("127.0.0.5", server->port(), false);
        if (i % 100 == 99)
            waitFor([] { return false; }, 5);
    }
    auto alice = loggedIn("alice");
    auto bob = loggedIn("bob");
    alice->send("message alice pw bob still there");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received(), std::vector<QByteArray>{note("message alice still there")});
    EXPECT_LE(server->connectionCount(), ServerConfig{}.maxConnectionsPerHost + 2);
}

TEST_F(ChatServerLoopback, ConnectionsWithoutLoginAreClosed)
{
    ServerConfig config;
    config.loginTimeoutMs = 200;
    start(config);
    RequestClient idle(server->port(), "127.0.0.5");
    auto alice = loggedIn("alice");
    EXPECT_TRUE(waitFor([&] { return idle.socket().state() == QAbstractSocket::UnconnectedState; }, 2000));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(alice->socket().state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(server->connectionCount(), 1u);
}

TEST_F(ChatServerLoopback, HostThatNeverAcceptsDelaysOnlyItself)
{
    start();
    RawSockets dead;
    dead.open("127.0.0.5", sink.port(), true);
    auto mallory = loggedIn("mallory", "127.0.0.5");
    auto bob = loggedIn("bob");
    auto carol = loggedIn("carol");
    QByteArray flood;
    for (int i = 0; i < 20'000; ++i)
        flood += block("getbuddy mallory pw bob" + std::to_string(i), 0) + '\0';
    mallory->sendRaw(flood);
    ASSERT_TRUE(waitFor([&] { return logged("mallory -> bob19999"); }, 20'000));

    QElapsedTimer clock;
    clock.start();
    bob->send("message bob pw carol hi");
    carol->send("message carol pw bob ho");
    ASSERT_TRUE(sink.waitForCount(2, 1000));
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{note("message bob hi"), note("message carol ho")}));
    EXPECT_LE(server->pendingNotifications(), DispatchLimits{}.maxQueuedPerHost + 1);
}

TEST_F(ChatServerLoopback, RegistrationFloodLeavesRoomForNewcomers)
{
    start();
    RequestClient mallory(server->port(), "127.0.0.5");
    QByteArray flood;
    for (int i = 0; i < 100'000; ++i)
        flood += block("login u" + std::to_string(i) + " p", 0) + '\0';
    mallory.sendRaw(flood);
    ASSERT_TRUE(waitFor([&] { return logged("login u99999 refused: too many new names from 127.0.0.5"); }, 30'000));

    auto carol = loggedIn("carol");
    carol->send("message carol pw echo hi");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received(), std::vector<QByteArray>{note("message echo hi")});
    EXPECT_EQ(server->router().accounts().size(), RouterLimits{}.registrationsPerHost + 1);
}
