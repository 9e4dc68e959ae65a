// The request connection against a scripted server: what the server writes on it takes the
// notification path, however cut up, and a write into a peer that reset the link fails quietly.
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include "common/Protocol.h"
#include "net/ServerConnection.h"
#include "net/rules/ErrorNames.h"
#include "net/rules/LinkState.h"
#include "support/FakeServer.h"
#include "support/NulText.h"
#include "support/ReceivedNotifications.h"
#include "support/WaitFor.h"

namespace {

class ServerConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.g_userId.assign("ann");
        state.g_password.assign("pw1");
        state.g_serverIp.assign("127.0.0.1");
        QSignalSpy ended(&connection, &ServerConnection::connectEnded);
        connection.BeginConnect(kConnectLoginBlockSize);
        ASSERT_TRUE(WaitFor([&] { return !ended.isEmpty(); }));
        ASSERT_EQ(ended.first().first().toString(), QStringLiteral("No status messages."));
        ASSERT_TRUE(server.WaitForBlocks("login", 1));
    }

    FakeServer server;
    LinkState state;
    ReceivedNotifications received;
    ServerConnection connection{state, received.Sink(), server.port()};
};

}  // namespace

TEST_F(ServerConnectionTest, BytesOnTheRequestConnectionTakeTheNotificationPath)
{
    server.WriteOnRequest(NulText("getbuddy true bob") + QByteArray("message ann in"));
    ASSERT_TRUE(WaitFor([&] { return received.all().size() == 1; }));
    EXPECT_EQ(received.all()[0].kind, NotificationKind::GetBuddy);
    EXPECT_EQ(received.all()[0].buddyName, "bob");
    EXPECT_TRUE(received.all()[0].buddyOnline);
    Settle(100);
    EXPECT_EQ(received.all().size(), 1u) << "half a notification was taken as a whole one";
    server.WriteOnRequest(NulText(" band"));
    ASSERT_TRUE(WaitFor([&] { return received.all().size() == 2; }));
    EXPECT_EQ(received.MessageTexts(), std::vector<std::string>{"ann in band"});
}

// The client's loop has not run since the reset, so the socket still looks connected.
TEST_F(ServerConnectionTest, WritingIntoAResetPeerFailsWithoutASignal)
{
    QSignalSpy lost(&connection, &ServerConnection::linkLost);
    server.ResetRequest();
    QThread::msleep(50);
    const SendResult intoReset = connection.serverSocket().Send(std::string(kMessageBlockSize, 'm'));
    // Still running here: SIGPIPE keeps its default action in this suite.
    EXPECT_EQ(intoReset.bytes, -1);
    EXPECT_EQ(intoReset.errorCode, wsa::kConnReset);
    EXPECT_EQ(state.g_link.g_connected, 0);
    EXPECT_EQ(lost.count(), 1);
}
