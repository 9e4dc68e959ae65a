#include "ChatServer.h"
#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

// Routing decisions are the router's tests; these check what reaches the wire
// while one host misbehaves. 127.0.0.5 plays the hostile host.
namespace {

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
    std::vector<std::unique_ptr<QTcpSocket>> idle(3000);
    for (auto& socket : idle) {
        socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.0.0.5")));
        socket->connectToHost(QHostAddress::LocalHost, server->port());
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
    QTcpServer dead; // listens, but nothing ever takes a connection off its queue
    ASSERT_TRUE(dead.listen(QHostAddress(QStringLiteral("127.0.0.5")), sink.port()));
    dead.pauseAccepting();
    auto mallory = loggedIn("mallory", "127.0.0.5");
    auto bob = loggedIn("bob");
    auto carol = loggedIn("carol");
    QByteArray flood;
    for (int i = 0; i < 20'000; ++i)
        flood += block("getbuddy mallory pw bob" + std::to_string(i), 0) + '\0';
    mallory->sendRaw(flood);
    ASSERT_TRUE(waitFor([&] { return logs.find("mallory -> bob19999") != std::string::npos; }, 20'000));

    bob->send("message bob pw carol hi");
    carol->send("message carol pw bob ho");
    ASSERT_TRUE(sink.waitForCount(2, 1000)) << "other users waited for the dead host";
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
    const std::string last = "login u99999 refused: too many new names from 127.0.0.5";
    ASSERT_TRUE(waitFor([&] { return logs.find(last) != std::string::npos; }, 30'000));

    auto carol = loggedIn("carol");
    carol->send("message carol pw echo hi");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received(), std::vector<QByteArray>{note("message echo hi")});
    EXPECT_EQ(server->router().accounts().size(), RouterLimits{}.registrationsPerHost + 1);
}
