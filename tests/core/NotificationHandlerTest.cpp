#include "net/NotificationHandler.h"

#include <deque>
#include <string>

#include <gtest/gtest.h>

#include "app/ClientState.h"
#include "net/Mailbox.h"

namespace {

TEST(NotificationHandler, QueuesMessagesInArrivalOrder)
{
    ClientState state;
    HandleNotification(state, "message bob hello there");
    HandleNotification(state, "message ann ");
    EXPECT_EQ(state.g_lastCommand, 1);
    EXPECT_EQ(state.g_messageArrived, 1);
    const std::deque<InboundMessage> taken = state.g_messages.TakeAll();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[0].senderName, "bob");
    EXPECT_EQ(taken[0].messageText, "hello there");
    EXPECT_EQ(taken[1].senderName, "ann");
    EXPECT_EQ(taken[1].messageText, "");
    EXPECT_TRUE(state.g_messages.empty());
}

TEST(NotificationHandler, TextWithoutKeywordChangesNothingEvenAfterAMessage)
{
    ClientState state;
    HandleNotification(state, "message bob hi");
    state.g_messageArrived = 0;
    state.g_queryPending = 1;
    HandleNotification(state, "hello getbuddy true bob");
    EXPECT_EQ(state.g_lastCommand, 1);
    EXPECT_EQ(state.g_messageArrived, 0);
    EXPECT_EQ(state.g_messages.size(), 1u);
    EXPECT_EQ(state.g_queryPending, 1);
    EXPECT_EQ(state.g_onlineRebuildDue, 0);
    EXPECT_EQ(state.g_presence.onlineCount(), 0u);
}

TEST(NotificationHandler, GetDataAndSetModeOnlyRecordTheCommand)
{
    ClientState state;
    state.g_queryPending = 1;
    HandleNotification(state, "getdata x y");
    EXPECT_EQ(state.g_lastCommand, 2);
    HandleNotification(state, "set_mode 1");
    EXPECT_EQ(state.g_lastCommand, 3);
    EXPECT_EQ(state.g_messages.size() + state.g_messageArrived + state.g_onlineRebuildDue, 0u);
    EXPECT_EQ(state.g_queryPending, 1);
}

TEST(NotificationHandler, PresenceAnswerUpdatesTableAndSignalsRebuildEvenToEmpty)
{
    ClientState state;
    state.g_queryPending = 1;
    state.g_lastCommand = 1;
    HandleNotification(state, "getbuddy true Ann Lee");
    EXPECT_EQ(state.g_queryPending, 0);
    EXPECT_EQ(state.g_buddyName, "Ann Lee");
    EXPECT_EQ(state.g_buddyOnline, 1);
    EXPECT_EQ(state.g_onlineText, "Ann Lee\r\n");
    EXPECT_EQ(state.g_onlineRebuildDue, 1);
    EXPECT_EQ(state.g_lastCommand, 0);

    state.g_onlineRebuildDue = 0;
    state.g_queryPending = 1;
    HandleNotification(state, "getbuddy false Ann Lee");
    EXPECT_EQ(state.g_queryPending, 0);
    EXPECT_EQ(state.g_buddyOnline, 0);
    EXPECT_EQ(state.g_onlineText, "");
    EXPECT_EQ(state.g_onlineRebuildDue, 1);
}

TEST(NotificationHandler, MalformedPresenceAnswerClearsTheQueryButNoEntry)
{
    // No name at all, or a name with a line end that would split into bogus Online rows.
    for (const char* malformed : {"getbuddy false", "getbuddy true eve\nmallory", "getbuddy true eve\r"}) {
        ClientState state;
        HandleNotification(state, "getbuddy true bob");
        state.g_queryPending = 1;
        state.g_onlineRebuildDue = 0;
        HandleNotification(state, malformed);
        EXPECT_EQ(state.g_queryPending, 0) << malformed;
        EXPECT_EQ(state.g_buddyName, "bob") << malformed;
        EXPECT_EQ(state.g_buddyOnline, 1) << malformed;
        EXPECT_EQ(state.g_onlineText, "bob\r\n") << malformed;
        EXPECT_EQ(state.g_onlineRebuildDue, 1) << malformed;
        EXPECT_EQ(state.g_lastCommand, 0) << malformed;
    }
}

TEST(Mailbox, DropsTheOldestPastItsBoundAndCountsThem)
{
    Mailbox mailbox;
    const std::size_t extra = 3;
    for (std::size_t i = 0; i < Mailbox::kCapacity + extra; ++i)
        mailbox.Push({"s", std::to_string(i)});
    EXPECT_EQ(mailbox.size(), Mailbox::kCapacity);
    EXPECT_EQ(mailbox.TakeDroppedCount(), extra);
    EXPECT_EQ(mailbox.TakeDroppedCount(), 0u);
    const std::deque<InboundMessage> taken = mailbox.TakeAll();
    EXPECT_EQ(taken.front().messageText, std::to_string(extra));
    EXPECT_EQ(taken.back().messageText, std::to_string(Mailbox::kCapacity + extra - 1));
}

}  // namespace
