// Notifications through the listener and through the request connection: their effects on the
// client state, how they may be cut up or bundled on the wire, and who may deliver them.
#include <QSignalSpy>
#include <QTcpServer>

#include <gtest/gtest.h>

#include "ClientFixture.h"
#include "net/ErrorNames.h"
#include "net/NotificationListener.h"
#include "net/Protocol.h"
#include "net/ServerConnection.h"
#include "support/FakeServer.h"
#include "support/NulText.h"
#include "support/WaitFor.h"

namespace {

class ListenerDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetIdentity(state);
        ASSERT_TRUE(listener.Listen(0));
        ASSERT_NE(listener.port(), 0);
    }

    // Every waiting message as "sender: text", oldest first.
    std::vector<std::string> TakeMessages()
    {
        std::vector<std::string> shown;
        for (const InboundMessage& message : state.g_messages.TakeAll())
            shown.push_back(message.senderName + ": " + message.messageText);
        return shown;
    }

    ClientState state;
    NotificationListener listener{state};
    FakeServer server;
};

using Messages = std::vector<std::string>;

}  // namespace

TEST_F(ListenerDeliveryTest, NotificationsAreFramedHoweverTheBytesArrive)
{
    QSignalSpy received(&listener, &NotificationListener::received);
    QTcpSocket* split = server.Deliver(listener.port(), QByteArray("message ann hel"));
    ASSERT_NE(split, nullptr);
    Settle(150);
    EXPECT_TRUE(state.g_messages.empty()) << "half a notification was taken as a whole one";
    EXPECT_EQ(state.g_messageArrived, 0);
    split->write(QByteArray("lo there", 8).append('\0'));
    split->flush();
    ASSERT_TRUE(WaitFor([&] { return !state.g_messages.empty(); }));
    Settle(50);
    EXPECT_EQ(TakeMessages(), Messages{"ann: hello there"});

    ASSERT_NE(server.Deliver(listener.port(), NulText("message bob one") + NulText("message cy two")), nullptr);
    ASSERT_TRUE(WaitFor([&] { return state.g_messages.size() == 2; }));
    Settle(50);
    EXPECT_EQ(TakeMessages(), (Messages{"bob: one", "cy: two"}));
    EXPECT_GE(received.count(), 2);
    EXPECT_EQ(state.g_acceptCount, 2);
}

TEST_F(ListenerDeliveryTest, BytesOnTheRequestConnectionTakeTheSameReceivePath)
{
    ServerConnection connection(state, server.port());
    QSignalSpy received(&connection, &ServerConnection::received);
    ASSERT_EQ(connection.ConnectAndLogin(kConnectLoginBlockSize), QStringLiteral("No status messages."));
    ASSERT_TRUE(server.WaitForRequestConnection());
    state.g_queryPending = 1;

    server.WriteOnRequest(NulText("getbuddy true bob") + QByteArray("message ann in"));
    ASSERT_TRUE(WaitFor([&] { return state.g_queryPending == 0; }));
    EXPECT_EQ(state.g_presence.onlineCount(), 1U);
    EXPECT_EQ(state.g_onlineText, "bob\r\n");
    EXPECT_EQ(state.g_onlineRebuildDue, 1);
    server.WriteOnRequest(NulText(" band"));
    ASSERT_TRUE(WaitFor([&] { return state.g_messageArrived == 1; }));
    EXPECT_EQ(TakeMessages(), Messages{"ann: in band"});
    EXPECT_GE(received.count(), 2);
    EXPECT_EQ(state.g_acceptCount, 0);
}

TEST_F(ListenerDeliveryTest, OnlyTheServersAddressMayDeliver)
{
    QSignalSpy rejected(&listener, &NotificationListener::rejected);
    QTcpSocket* foreign =
        server.Deliver(listener.port(), NulText("message mallory spoofed"), QHostAddress(QStringLiteral("127.0.0.2")));
    ASSERT_NE(foreign, nullptr);
    ASSERT_TRUE(WaitFor([&] { return foreign->state() == QAbstractSocket::UnconnectedState; }))
        << "the foreign connection was left open";
    ASSERT_EQ(rejected.count(), 1);
    EXPECT_TRUE(rejected.at(0).at(0).value<QHostAddress>().isEqual(QHostAddress(QStringLiteral("127.0.0.2")),
                                                                    QHostAddress::TolerantConversion));
    Settle(50);
    EXPECT_TRUE(state.g_messages.empty());
    EXPECT_EQ(state.g_messageArrived, 0);
    EXPECT_EQ(state.g_acceptCount, 0);

    // The server itself still gets through.
    ASSERT_NE(server.Deliver(listener.port(), NulText("message bob real")), nullptr);
    ASSERT_TRUE(WaitFor([&] { return state.g_messageArrived == 1; }));
    EXPECT_EQ(TakeMessages(), Messages{"bob: real"});
}

TEST(ListenerPortTest, ATakenPortIsReportedAsAddressInUse)
{
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::Any, 0));
    ClientState state;
    NotificationListener listener(state);
    EXPECT_FALSE(listener.Listen(squatter.serverPort()));
    EXPECT_EQ(listener.errorCode(), wsa::kAddrInUse);
    EXPECT_EQ(ListenFailedText(listener.errorCode()), QStringLiteral("Can't listen for messages: Error code WSAEADDRINUSE."));

    squatter.close();
    EXPECT_TRUE(listener.Listen(0));
    EXPECT_EQ(listener.errorCode(), 0);
}
