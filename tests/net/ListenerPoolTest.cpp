// The pool of six delivery connections: the seventh recycles it, and no notification that had
// already reached the machine is lost when its connection is closed to make room.
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ClientFixture.h"
#include "net/CLinkSocket.h"
#include "net/NotificationListener.h"
#include "support/FakeServer.h"
#include "support/NulText.h"
#include "support/WaitFor.h"

namespace {

constexpr int kEntries = NotificationListener::kPoolEntries;

class ListenerPoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetIdentity(state);
        ASSERT_TRUE(listener.Listen(0));
    }

    // Opens the six connections that fill the pool, each accepted before the next.
    void FillPool()
    {
        for (int i = 1; i <= kEntries; ++i) {
            QTcpSocket* socket = server.Deliver(listener.port());
            ASSERT_NE(socket, nullptr);
            ASSERT_TRUE(WaitFor([&] { return state.g_acceptCount == i; })) << "connection " << i;
            delivered[std::size_t(i - 1)] = socket;
        }
    }

    std::vector<std::string> Senders()
    {
        std::vector<std::string> senders;
        for (const InboundMessage& message : state.g_messages.TakeAll())
            senders.push_back(message.senderName + " " + message.messageText);
        std::sort(senders.begin(), senders.end());
        return senders;
    }

    ClientState state;
    NotificationListener listener{state};
    FakeServer server;
    std::array<QTcpSocket*, kEntries> delivered{};
};

}  // namespace

TEST_F(ListenerPoolTest, TheSeventhConnectionClosesTheSixAndTakesEntryOne)
{
    FillPool();
    for (int i = 1; i <= kEntries; ++i) {
        ASSERT_NE(listener.entry(i), nullptr);
        EXPECT_TRUE(listener.entry(i)->isConnected()) << "entry " << i;
    }

    QTcpSocket* seventh = server.Deliver(listener.port());
    ASSERT_NE(seventh, nullptr);
    ASSERT_TRUE(WaitFor([&] {
        return std::all_of(delivered.begin(), delivered.end(),
                           [](QTcpSocket* s) { return s->state() == QAbstractSocket::UnconnectedState; });
    })) << "an earlier delivery connection stayed open";
    EXPECT_EQ(state.g_acceptCount, 1);
    EXPECT_TRUE(listener.entry(1)->isConnected());
    for (int i = 2; i <= kEntries; ++i)
        EXPECT_FALSE(listener.entry(i)->isConnected()) << "entry " << i;
    EXPECT_EQ(seventh->state(), QAbstractSocket::ConnectedState);

    // The recycled entry 1 carries notifications like a fresh one, and the count goes on.
    seventh->write(NulText("message g seven"));
    seventh->flush();
    ASSERT_TRUE(WaitFor([&] { return state.g_messages.size() == 1; }));
    EXPECT_EQ(Senders(), std::vector<std::string>{"g seven"});
    ASSERT_NE(server.Deliver(listener.port()), nullptr);
    EXPECT_TRUE(WaitFor([&] { return state.g_acceptCount == 2; }));
}

TEST_F(ListenerPoolTest, NotificationsWaitingOnTheSixSurviveTheSeventh)
{
    FillPool();
    // Written while this thread's loop is held: the client has not read any of them. Half the
    // senders have closed already, as the real server does once it has written.
    for (int i = 0; i < kEntries; ++i) {
        delivered[std::size_t(i)]->write(NulText(("message s" + std::to_string(i + 1) + " waiting").c_str()));
        delivered[std::size_t(i)]->flush();
        if (i % 2 == 1)
            delivered[std::size_t(i)]->disconnectFromHost();
    }
    QThread::msleep(50);
    ASSERT_NE(server.Deliver(listener.port(), NulText("message s7 seventh")), nullptr);

    ASSERT_TRUE(WaitFor([&] { return state.g_messages.size() == 7; }, 3000)) << state.g_messages.size() << " of 7";
    Settle(50);
    EXPECT_EQ(Senders(), (std::vector<std::string>{"s1 waiting", "s2 waiting", "s3 waiting", "s4 waiting",
                                                   "s5 waiting", "s6 waiting", "s7 seventh"}));
    EXPECT_EQ(state.g_acceptCount, 1);
}
