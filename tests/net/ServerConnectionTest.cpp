// The request connection against a scripted server: what goes on the wire at login and logout,
// and how every way of failing shows in the status text, the buttons and the send results.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include "ClientFixture.h"
#include "FullBacklogPort.h"
#include "net/ErrorNames.h"
#include "net/Protocol.h"
#include "net/RequestBlock.h"
#include "net/ServerConnection.h"
#include "support/ClosedPort.h"
#include "support/FakeServer.h"
#include "support/WaitFor.h"

namespace {

constexpr int kShortConnectTimeoutMs = 300;

void ExpectDisconnectedButtons(const ClientState& state)
{
    EXPECT_EQ(state.g_link.g_connected, 0);
    EXPECT_TRUE(state.g_link.connectEnabled);
    EXPECT_FALSE(state.g_link.disconnectEnabled);
}

}  // namespace

TEST(ServerConnectionTest, LoginThenLogoutPutExactBlocksOnTheWire)
{
    struct Case {
        std::size_t loginSize;
    };
    for (const Case c : {Case{kStartupLoginBlockSize}, Case{kConnectLoginBlockSize}}) {
        SCOPED_TRACE(c.loginSize);
        FakeServer server;
        ClientState state;
        SetIdentity(state);
        ServerConnection connection(state, server.port());

        EXPECT_EQ(connection.ConnectAndLogin(c.loginSize), QStringLiteral("No status messages."));
        EXPECT_EQ(state.g_link.g_connected, 1);
        EXPECT_FALSE(state.g_link.connectEnabled);
        EXPECT_TRUE(state.g_link.disconnectEnabled);
        const QByteArray login = Block("login ann pw1", c.loginSize);
        ASSERT_TRUE(server.WaitForRequestBytes(login.size()));

        ASSERT_TRUE(connection.LogoutAndClose());
        const QByteArray logout = Block("logout ann pw1", kLogoutBlockSize);
        ASSERT_TRUE(server.WaitForRequestBytes(login.size() + logout.size()));
        EXPECT_TRUE(WaitFor([&] { return server.requestClosedByClient(); }));
        EXPECT_EQ(server.requestBytes(), login + logout);
        EXPECT_EQ(server.requestConnections(), 1);
        ExpectDisconnectedButtons(state);
    }
}

TEST(ServerConnectionTest, RefusedAndUnansweredConnectsNameTheirError)
{
    FullBacklogPort blackhole;
    ASSERT_TRUE(blackhole.full()) << "the accept queue never filled";
    struct Case {
        const char* what;
        quint16 port;
        const char* status;
    };
    const Case cases[] = {
        {"closed port", ClosedPort(), "Can't connect: Error code WSAECONNREFUSED."},
        {"no answer", blackhole.port(), "Can't connect: Error code WSAETIMEDOUT."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClientState state;
        SetIdentity(state);
        ServerConnection connection(state, c.port, kShortConnectTimeoutMs);
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QString::fromLatin1(c.status));
        EXPECT_LT(elapsed.elapsed(), 5 * kShortConnectTimeoutMs);
        EXPECT_FALSE(connection.isConnecting());
        ExpectDisconnectedButtons(state);
    }
}

TEST(ServerConnectionTest, ServerDroppingTheLinkDisconnectsTheClient)
{
    struct Case {
        const char* what;
        bool reset;
    };
    for (const Case c : {Case{"orderly close", false}, Case{"reset", true}}) {
        SCOPED_TRACE(c.what);
        FakeServer server;
        ClientState state;
        SetIdentity(state);
        ServerConnection connection(state, server.port());
        QSignalSpy lost(&connection, &ServerConnection::linkLost);
        ASSERT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QStringLiteral("No status messages."));
        ASSERT_TRUE(server.WaitForRequestConnection());
        state.g_queryPending = 1;

        if (c.reset)
            server.ResetRequest();
        else
            server.CloseRequests();

        ASSERT_TRUE(WaitFor([&] { return lost.count() > 0; }));
        EXPECT_EQ(lost.count(), 1);
        EXPECT_TRUE(lost.at(0).at(0).toString().startsWith(QStringLiteral("Connection to the server lost: Error code ")))
            << lost.at(0).at(0).toString().toStdString();
        ExpectDisconnectedButtons(state);
        EXPECT_EQ(state.g_queryPending, 0);
        const SendResult sent = connection.serverSocket().Send(Block("getbuddy ann pw1 bob", kGetBuddyBlockSize).toStdString());
        EXPECT_EQ(sent.bytes, -1);
        EXPECT_EQ(sent.errorCode, wsa::kNotConnected);
        EXPECT_FALSE(connection.LogoutAndClose());

        // The drop leaves the way open to connect again.
        EXPECT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QStringLiteral("No status messages."));
        EXPECT_EQ(state.g_link.g_connected, 1);
        EXPECT_TRUE(WaitFor([&] { return server.requestConnections() == 2; }));
    }
}

TEST(ServerConnectionTest, SendingIntoAStalledOrResetPeerNeitherBlocksNorKills)
{
    FakeServer server;
    ClientState state;
    SetIdentity(state);
    ServerConnection connection(state, server.port());
    ASSERT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QStringLiteral("No status messages."));
    ASSERT_TRUE(server.WaitForRequestConnection());
    const std::string block = Block("message ann pw1 bob hello", kMessageBlockSize).toStdString();

    // With the event loop held, the server reads nothing: 16 MiB outgrow every kernel buffer.
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < 65536; ++i)
        ASSERT_FALSE(connection.serverSocket().Send(block).failed()) << "block " << i;
    EXPECT_LT(elapsed.elapsed(), 3000);

    // Now the server resets; the client's loop has not run, so the socket still looks connected.
    QSignalSpy lost(&connection, &ServerConnection::linkLost);
    server.ResetRequest();
    QThread::msleep(50);
    const SendResult intoReset = connection.serverSocket().Send(block);
    // Still running here: the write into the reset connection raised no SIGPIPE.
    EXPECT_EQ(intoReset.bytes, -1);
    EXPECT_EQ(intoReset.errorCode, wsa::kConnReset);
    EXPECT_EQ(state.g_link.g_connected, 0);
    EXPECT_EQ(lost.count(), 1);
}
