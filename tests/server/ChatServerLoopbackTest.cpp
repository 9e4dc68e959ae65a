#include "ChatServer.h"
#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace qornc::server;
using namespace qornc::server::test;

// Routing decisions are the router's tests; these check what reaches the wire
// while one host misbehaves. 127.0.0.5 plays the hostile host.
namespace {

// Raw descriptors: thousands of QTcpSockets would only slow the test down. Each is
// a non-blocking connect from `from` to `port`, or a listener there that never accepts.
struct RawSockets {
    std::vector<int> fds;
    ~RawSockets() { std::for_each(fds.begin(), fds.end(), ::close); }
    void open(const char* from, quint16 port, bool listen)
    {
        fds.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        sockaddr_in address{AF_INET, htons(listen ? port : 0), {inet_addr(from)}, {}};
        ::bind(fds.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        address = {AF_INET, htons(port), {inet_addr("127.0.0.1")}, {}};
        listen ? ::listen(fds.back(), 0) : ::connect(fds.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
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
    ServerConfig config;
    config.loginTimeoutMs = 1000;
    start(config);
    RawSockets idle;
    for (int i = 1; i <= 3000; ++i) {
        idle.open("127.0.0.5", server->port(), false);
        if (i % 100 == 0)
            waitFor([] { return false; }, 5); // lets the server accept as a busy one would
    }
    auto alice = loggedIn("alice");
    auto bob = loggedIn("bob");
    alice->send("message alice pw bob still there");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received(), std::vector<QByteArray>{note("message alice still there")});
    EXPECT_LE(server->connectionCount(), config.maxConnectionsPerHost + 2);
    EXPECT_TRUE(waitFor([&] { return server->connectionCount() == 2; })) << "idle ones outlived the login timeout";
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
    QByteArray flood = QByteArray(300, 'g') + '\0'; // garbage first: framing must recover
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
