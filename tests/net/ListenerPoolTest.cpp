// Delivery connections under a burst: a connection whose text has not arrived yet is never
// closed to make room for later ones, every delivery is let go once it is done, and idle
// connections cannot pile up.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "net/NotificationListener.h"
#include "net/rules/LinkState.h"
#include "support/FakeServer.h"
#include "support/NulText.h"
#include "support/ReceivedNotifications.h"
#include "support/WaitFor.h"

namespace {

// A listener's state that expects deliveries from a server on loopback.
class ListenerPoolTest : public ::testing::Test {
protected:
    ListenerPoolTest() { state.g_serverIp.assign("127.0.0.1"); }

    LinkState state;
    ReceivedNotifications received;
};

} // namespace

TEST_F(ListenerPoolTest, DeliveriesWaitingForTheirTextSurviveLaterOnes)
{
    constexpr int kSenders = 20;
    NotificationListener listener(state, received.Sink());
    ASSERT_TRUE(listener.Listen(0));
    FakeServer server;

    // Every sender connects and pauses before writing, as a loaded server does.
    std::vector<QTcpSocket*> senders;
    for (int i = 0; i < kSenders; ++i) {
        senders.push_back(server.Deliver(listener.port()));
        ASSERT_NE(senders.back(), nullptr);
    }
    Settle(200); // all accepted, none has brought its text
    std::vector<std::string> expected;
    for (int i = kSenders - 1; i >= 0; --i) {
        const std::string text = "s" + std::to_string(i) + " late";
        senders[std::size_t(i)]->write(NulText(QByteArray("message ") + text.c_str()));
        senders[std::size_t(i)]->disconnectFromHost();
        expected.push_back(text);
    }
    ASSERT_TRUE(WaitFor([&] { return received.MessageCount() == expected.size(); }))
        << received.MessageCount() << " of " << expected.size();
    std::vector<std::string> shown = received.MessageTexts();
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(WaitFor([&] { return listener.openDeliveries() == 0; })) << "finished deliveries were kept open";
}

TEST_F(ListenerPoolTest, IdleConnectionsAreCappedAndDeliveriesStillArrive)
{
    NotificationListener listener(state, received.Sink());
    ASSERT_TRUE(listener.Listen(0));
    sockaddr_in address{AF_INET, htons(listener.port()), {htonl(INADDR_LOOPBACK)}, {}};
    std::vector<int> held;
    for (int i = 0; i < 3 * NotificationListener::kMaxOpenDeliveries; ++i) {
        held.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(held.back(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    Settle(500);
    EXPECT_LE(listener.openDeliveries(), NotificationListener::kMaxOpenDeliveries);
    FakeServer server;
    ASSERT_NE(server.Deliver(listener.port(), NulText("message srv after")), nullptr);
    EXPECT_TRUE(WaitFor([&] { return received.MessageCount() == 1; }));
    for (const int fd : held)
        ::close(fd);
}

// A delivery the server keeps open stays while the pool has room, and a text written on it later
// is shown; one that brings nothing in time is closed; the sixth later delivery pushes it out.
TEST_F(ListenerPoolTest, DeliveriesTheServerKeepsOpenStayWhileThePoolHasRoom)
{
    NotificationListener listener(state, received.Sink(), 300);
    ASSERT_TRUE(listener.Listen(0));
    FakeServer server;
    QTcpSocket* kept = server.Deliver(listener.port(), NulText("message srv first"));
    QTcpSocket* silent = server.Deliver(listener.port());
    ASSERT_TRUE(kept != nullptr && silent != nullptr);
    server.DeliverAndClose(listener.port(), NulText("message srv between"));
    Settle(600); // past the timeout
    kept->write(NulText("message srv later"));
    EXPECT_TRUE(WaitFor([&] { return received.MessageCount() == 3; })) << received.MessageCount();
    EXPECT_EQ(silent->state(), QAbstractSocket::UnconnectedState);

    for (int later = 1; later <= NotificationListener::kPoolSize; ++later) {
        ASSERT_NE(server.Deliver(listener.port(), NulText("message srv more")), nullptr);
        EXPECT_EQ(WaitFor([&] { return kept->state() == QAbstractSocket::UnconnectedState; }, 200),
                  later == NotificationListener::kPoolSize) << later;
    }
}

// On a lossy link the kernel may retransmit a text for seconds; the delivery has to wait for it.
// Twelve seconds is well past any shorter wait and leaves a loaded machine room before fifteen.
TEST_F(ListenerPoolTest, ADeliveryWhoseTextComesLateAfterRetransmissionsIsStillShown)
{
    NotificationListener listener(state, received.Sink());
    ASSERT_TRUE(listener.Listen(0));
    FakeServer server;
    QTcpSocket* slow = server.Deliver(listener.port());
    ASSERT_NE(slow, nullptr);
    Settle(12'000);
    slow->write(NulText("message srv retransmitted"));
    EXPECT_TRUE(WaitFor([&] { return received.MessageCount() == 1; }));
}
