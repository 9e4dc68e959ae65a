#include "ChatServer.h"
#include "LoopbackHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace qornc::server;
using namespace qornc::server::test;

namespace {

QByteArray notification(const std::string& text)
{
    QByteArray bytes = QByteArray::fromStdString(text);
    bytes.append('\0');
    return bytes;
}

bool contains(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
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
                                              [this](const std::string& line) { logs.push_back(line); });
        QString error;
        ASSERT_TRUE(server->listen(error)) << error.toStdString();
    }

    std::unique_ptr<RequestClient> loggedIn(const std::string& login)
    {
        auto client = std::make_unique<RequestClient>(server->port());
        const std::string name = login.substr(6, login.find(' ', 6) - 6);
        client->send(login);
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline(name); })) << login;
        return client;
    }

    NotifySink sink;
    std::unique_ptr<ChatServer> server;
    std::vector<std::string> logs;
};

} // namespace

TEST_F(ChatServerLoopback, GetbuddyAnswersEachOnAFreshConnection)
{
    start();
    auto alice = loggedIn("login alice pw");
    auto bob = loggedIn("login bob two words");
    alice->send("getbuddy alice pw bob", 256);
    alice->send("getbuddy alice pw carol");
    alice->send("getbuddy alice pw echo");

    ASSERT_TRUE(sink.waitForCount(3));
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{notification("getbuddy true bob"),
                                                         notification("getbuddy false carol"),
                                                         notification("getbuddy true echo")}));
    EXPECT_TRUE(bob->socket().bytesAvailable() == 0 && alice->socket().bytesAvailable() == 0)
        << "nothing may be written on request connections";
}

TEST_F(ChatServerLoopback, MessagesArriveByteExact)
{
    start();
    auto alice = loggedIn("login alice my pass word");
    auto bob = loggedIn("login bob pw");
    const std::string text = "  h\xc3\xa9llo\tw\xc3\xb6rld ~!\x7f  ";
    alice->send("message alice my pass word bob " + text, 256);
    bob->send("message bob pw alice");
    bob->send("message bob pw echo " + text);

    ASSERT_TRUE(sink.waitForCount(3));
    EXPECT_EQ(sink.received(), (std::vector<QByteArray>{notification("message alice " + text),
                                                         notification("message bob "),
                                                         notification("message echo " + text)}));
}

TEST_F(ChatServerLoopback, RejectedAndOfflineRequestsSendNothing)
{
    start();
    auto alice = loggedIn("login alice pw");
    auto bob = loggedIn("login bob pw");
    alice->send("message alice wrong bob one");
    alice->send("message alice pw carol two");
    alice->send("getbuddy mallory pw bob");
    bob->send("logout bob pw");
    ASSERT_TRUE(waitFor([&] { return !server->router().isOnline("bob"); }));
    // Requests on one connection are handled in order, so once this arrives
    // everything above has been decided.
    alice->send("message alice pw bob three");
    alice->send("getbuddy alice pw bob");

    ASSERT_TRUE(waitFor([&] { return contains(logs, "getbuddy alice -> bob"); }));
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_FALSE(sink.waitForCount(2, 300));
    EXPECT_EQ(sink.received().front(), notification("getbuddy false bob"));
    EXPECT_TRUE(contains(logs, "ignored: wrong password for alice"));
    EXPECT_TRUE(contains(logs, "ignored: unknown name mallory"));
    EXPECT_TRUE(contains(logs, "message alice -> carol (3 bytes) dropped"));
}

TEST_F(ChatServerLoopback, ClosingTheRequestConnectionTakesTheNameOffline)
{
    start();
    auto alice = loggedIn("login alice pw");
    auto bob = loggedIn("login bob pw");
    bob->send("message bob pw alice last words");
    bob->socket().disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 1; }));

    alice->send("getbuddy alice pw bob");
    ASSERT_TRUE(sink.waitForCount(2));
    EXPECT_EQ(sink.received()[0], notification("message bob last words"));
    EXPECT_EQ(sink.received()[1], notification("getbuddy false bob"));
}

TEST_F(ChatServerLoopback, FloodOfBlocksInOneWriteIsHandledInOrder)
{
    start();
    auto alice = loggedIn("login alice pw");
    constexpr int kCount = 1000;
    QByteArray flood;
    std::vector<QByteArray> expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string contact = "contact" + std::to_string(i);
        flood += block("getbuddy alice pw " + contact, i % 2 ? 256 : 128);
        expected.push_back(notification("getbuddy false " + contact));
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
        vandal.sendRaw(junk);
        vandal.sendRaw(QByteArray(1, '\0') + block("login vandal pw"));
        EXPECT_TRUE(waitFor([&] { return server->router().isOnline("vandal"); })) << "no resync after garbage";
        vandal.sendRaw("message vandal pw ec");
        vandal.socket().abort();
    }
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 0; }));
    EXPECT_FALSE(server->router().isOnline("vandal"));

    auto alice = loggedIn("login alice pw");
    alice->send("message alice pw echo still here");
    ASSERT_TRUE(sink.waitForCount(1));
    EXPECT_EQ(sink.received().front(), notification("message echo still here"));
    EXPECT_TRUE(contains(logs, "garbage"));
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
    EXPECT_TRUE(waitFor([&] { return contains(logs, "refused connection from 127.0.0.1"); }));
    EXPECT_TRUE(waitFor([&] { return third.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(server->connectionCount(), 2u);

    first.socket().disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return server->connectionCount() == 1; }));
    auto alice = loggedIn("login alice pw");
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
    auto alice = loggedIn("login alice pw");
    for (int i = 0; i < 20; ++i)
        alice->send("getbuddy alice pw c" + std::to_string(i));

    EXPECT_TRUE(waitFor([&] { return contains(logs, "getbuddy alice -> c19"); }));
    EXPECT_LE(server->pendingNotifications(), 5u);
    EXPECT_TRUE(contains(logs, "notifications pending"));
    EXPECT_TRUE(waitFor([&] { return server->pendingNotifications() == 0; }));
    EXPECT_TRUE(contains(logs, "notify 127.0.0.1 dropped"));
}
