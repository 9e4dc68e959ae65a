#include "ChatServer.h"
#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

// Routing decisions are the router's tests; these check what reaches the wire.
namespace {

QByteArray note(const std::string& text)
{
    return QByteArray::fromStdString(text) + '\0';
}

class ChatServerLoopback : public ::testing::Test {
protected:
    void start(ServerConfig config = {})
    {
        config.listenAddress = QHostAddress::LocalHost;
        config.port = 0;
        if (config.notifyPort == ServerConfig{}.notifyPort)
            config.notifyPort = sink.port();
        server = std::make_unique<ChatServer>(ChatRouter(AccountBook{}, {"echo"}), config,
                                              [this](const std::string& line) { logs += line + "\n"; });
        QString error;
        ASSERT_TRUE(server->listen(error)) << error.toStdString();
    }

    std::unique_ptr<RequestClient> loggedIn(const std::string& name, const std::string& password = "pw")
    {
        auto client = std::make_unique<RequestClient>(server->port());
        client->send("login " + name + " " + password);
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline(name); })) << name;
        return client;
    }

    bool logged(const std::string& part) const { return logs.find(part) != std::string::npos; }

    NotifySink sink;
    std::unique_ptr<ChatServer> server;
    std::string logs;
};

} // namespace

TEST_F(ChatServerLoopback, DeliversEachNotificationByteExactOnAFreshConnection)
{
    start();
    auto alice = loggedIn("alice", "my pass word");
    auto bob = loggedIn("bob");
    const std::string text = "  h\xc3\xa9llo\tw\xc3\xb6rld ~!\x7f  ";
    alice->send("getbuddy alice my pass word bob", 256);
    alice->send("message alice my pass word bob " + text, 256);
    bob->send("message bob pw echo " + text);

    ASSERT_TRUE(sink.waitForCount(3));
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{note("getbuddy true bob"), note("message alice " + text),
                                                         note("message echo " + text)}));
    EXPECT_EQ(bob->socket().bytesAvailable() + alice->socket().bytesAvailable(), 0)
        << "nothing may be written on request connections";
}

TEST_F(ChatServerLoopback, ClosingTheRequestConnectionTakesTheNameOffline)
{
    start();
    auto alice = loggedIn("alice");
    auto bob = loggedIn("bob");
    bob->send("message bob pw alice last words");
    bob->socket().disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 1; }));

    alice->send("getbuddy alice pw bob");
    ASSERT_TRUE(sink.waitForCount(2));
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{note("message bob last words"), note("getbuddy false bob")}));
}

TEST_F(ChatServerLoopback, FloodOfBlocksInOneWriteIsHandledInOrder)
{
    start();
    auto alice = loggedIn("alice");
    constexpr int kCount = 1000;
    QByteArray flood;
    std::vector<QByteArray> expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string contact = "contact" + std::to_string(i);
        flood += block("getbuddy alice pw " + contact, i % 2 ? 256 : 128);
        expected.push_back(note("getbuddy false " + contact));
    }
    alice->sendRaw(flood);

    ASSERT_TRUE(sink.waitForCount(kCount, 60'000)) << sink.received().size() << " arrived";
    EXPECT_EQ(sink.received(), expected);
}

TEST_F(ChatServerLoopback, GarbageAndAbruptClientsDoNotHurtTheServer)
{
    start();
    std::mt19937 random(7);
    {
        RequestClient vandal(server->port());
        QByteArray junk(64 * 1024, '\0');
        for (char& byte : junk)
            byte = static_cast<char>(1 + random() % 255);
        vandal.sendRaw(junk + '\0' + block("login vandal pw"));
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline("vandal"); })) << "no resync after garbage";
        vandal.sendRaw("message vandal pw ec");
        vandal.socket().abort();
    }
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 0; }));
    EXPECT_FALSE(server->router().isOnline("vandal"));

    auto alice = loggedIn("alice");
    alice->send("message alice pw echo still here");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received().front(), note("message echo still here"));
    EXPECT_TRUE(logged("garbage"));
}

TEST_F(ChatServerLoopback, ConnectionsBeyondTheCapAreRefused)
{
    ServerConfig config;
    config.maxConnections = 2;
    start(config);
    RequestClient first(server->port());
    RequestClient second(server->port());
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 2; }));

    // Not a RequestClient: the refusal may come before the connect completes.
    QTcpSocket third;
    third.connectToHost(QHostAddress::LocalHost, server->port());
    EXPECT_TRUE(waitFor([&] { return logged("refused connection from 127.0.0.1"); }));
    EXPECT_TRUE(waitFor([&] { return third.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(server->connectionCount(), 2u);

    first.socket().disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 1; }));
    auto alice = loggedIn("alice");
    EXPECT_EQ(server->connectionCount(), 2u);
}

TEST_F(ChatServerLoopback, UnreachableHostsNeitherBlockNorPileUp)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    ServerConfig config;
    config.notifyPort = closedPort;
    config.dispatch.maxPending = 5;
    config.dispatch.timeoutMs = 2000;
    start(config);
    auto alice = loggedIn("alice");
    for (int i = 0; i < 20; ++i)
        alice->send("getbuddy alice pw c" + std::to_string(i));

    EXPECT_TRUE(waitFor([&] { return logged("getbuddy alice -> c19"); }));
    EXPECT_LE(server->pendingNotifications(), 5u);
    EXPECT_TRUE(logged("notifications pending"));
    EXPECT_TRUE(waitFor([&] { return server->pendingNotifications() == 0; }));
    EXPECT_TRUE(logged("notify 127.0.0.1 dropped"));
}
