// The request connection against a scripted server: what the server writes on it takes the
// notification path, however cut up, and a write into a peer that reset the link fails quietly.
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include "app/rules/ClientState.h"
#include "net/rules/ErrorNames.h"
#include "common/Protocol.h"
#include "net/ServerConnection.h"
#include "support/FakeServer.h"
#include "support/NulText.h"
#include "support/WaitFor.h"

namespace {

class ServerConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.g_userId.assign("ann");
        state.g_password.assign("pw1");
        state.g_serverIp.assign("127.0.0.1");
        ASSERT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QStringLiteral("No status messages."));
        ASSERT_TRUE(server.WaitForBlocks("login", 1));
    }

    FakeServer server;
    ClientState state;
    ServerConnection connection{state, server.port()};
};

}  // namespace

TEST_F(ServerConnectionTest, BytesOnTheRequestConnectionTakeTheNotificationPath)
{
    state.g_queryPending = 1;
    server.WriteOnRequest(NulText("getbuddy true bob") + QByteArray("message ann in"));
    ASSERT_TRUE(WaitFor([&] { return state.g_queryPending == 0; }));
    EXPECT_EQ(state.g_onlineText, "bob\r\n");
    Settle(100);
    EXPECT_EQ(state.g_messageArrived, 0) << "half a notification was taken as a whole one";
    server.WriteOnRequest(NulText(" band"));
    ASSERT_TRUE(WaitFor([&] { return state.g_messageArrived == 1; }));
    const auto messages = state.g_messages.TakeAll();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].senderName + ": " + messages[0].messageText, "ann: in band");
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
