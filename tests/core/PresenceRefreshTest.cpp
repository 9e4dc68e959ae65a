#include "presence/PresenceRefresh.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RecordingSender.h"
#include "app/ClientState.h"
#include "net/ErrorNames.h"
#include "net/RequestBlock.h"

namespace {

class PresenceRefreshTest : public ::testing::Test {
protected:
    PresenceRefreshTest()
    {
        state.g_userId.assign("me");
        state.g_password.assign("pw");
        state.g_refreshDue = 1;
    }

    static std::vector<std::string> Requests(const std::vector<std::string>& names)
    {
        std::vector<std::string> blocks;
        for (const std::string& name : names)
            blocks.push_back(GetBuddyBlock("me", "pw", name).value());
        return blocks;
    }

    ClientState state;
    RecordingSender sender;
};

// Empty lines are asked like names; every block is a 128-byte one.
TEST_F(PresenceRefreshTest, AsksTheFirstOnceAndEveryOtherTwice)
{
    const RefreshOutcome outcome = RunPresenceRefresh(state, "alice\r\n\r\nbob\r\ncarol\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"alice", "", "", "bob", "bob", "carol", "carol"}));
    for (const std::string& block : sender.blocks)
        EXPECT_EQ(block.size(), 128u);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.blocksSent, 7);
    EXPECT_EQ(outcome.statusText, "");
    EXPECT_EQ(state.g_queryPending, 1);
    EXPECT_EQ(state.g_refreshDue, 0);
}

TEST_F(PresenceRefreshTest, UnendedTailIsNeitherAskedNorKept)
{
    state.g_presence.ApplyPresence("alice", true);
    state.g_presence.ApplyPresence("bob", true);
    EXPECT_TRUE(RunPresenceRefresh(state, "alice\nbob", sender).completed);
    EXPECT_EQ(sender.blocks, Requests({"alice"}));
    EXPECT_EQ(state.g_presence.BuildOnlineText(), "alice\r\n");
}

TEST_F(PresenceRefreshTest, ListWithoutLineEndAbortsAndChangesNothing)
{
    state.g_presence.ApplyPresence("zed", true);
    for (const char* text : {"", "alice"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(RunPresenceRefresh(state, text, sender).completed);
        EXPECT_TRUE(sender.blocks.empty());
        EXPECT_EQ(state.g_refreshDue, 1);
        EXPECT_EQ(state.g_queryPending, 0);
        EXPECT_EQ(state.g_presence.BuildOnlineText(), "zed\r\n");
    }
}

TEST_F(PresenceRefreshTest, OnlyAFailedFirstSendStopsTheRefresh)
{
    sender.FailCall(1, wsa::kNotConnected);
    RefreshOutcome outcome = RunPresenceRefresh(state, "alice\r\nbob\r\n", sender);
    EXPECT_EQ(outcome.statusText, "Message send error: WSAENOTCONN.");
    EXPECT_EQ(sender.blocks.size(), 1u);
    EXPECT_EQ(outcome.blocksSent, 0);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(state.g_queryPending, 0);
    EXPECT_EQ(state.g_refreshDue, 0);

    RecordingSender later;
    later.FailCall(2, wsa::kConnReset);
    outcome = RunPresenceRefresh(state, "alice\r\nbob\r\ncarol\r\n", later);
    EXPECT_EQ(later.blocks, Requests({"alice", "bob", "bob", "carol", "carol"}));
    EXPECT_EQ(outcome.blocksSent, 4);
    EXPECT_EQ(outcome.statusText, "");
}

TEST_F(PresenceRefreshTest, NamesTooLongForTheirRequestAreSkippedAndCounted)
{
    const std::string tooLong(120, 'l');
    const struct {
        std::string list;
        std::vector<std::string> asked;
        int queryPending;
    } rows[] = {
        {tooLong + "\r\nbob\r\n" + tooLong + "\r\ncy\r\n", {"bob", "bob", "cy", "cy"}, 1},
        {tooLong + "\r\n" + tooLong + "x\r\n", {}, 0},  // nothing went out, so nothing is pending
    };
    for (const auto& row : rows) {
        sender.blocks.clear();
        state.g_queryPending = 0;
        const RefreshOutcome outcome = RunPresenceRefresh(state, row.list, sender);
        EXPECT_EQ(sender.blocks, Requests(row.asked));
        EXPECT_EQ(outcome.requestsRefused, 2);
        EXPECT_TRUE(outcome.completed);
        EXPECT_EQ(state.g_queryPending, row.queryPending);
    }
}

TEST_F(PresenceRefreshTest, PrunesOnlyToTheFirst2000Lines)
{
    std::string text;
    for (int i = 0; i <= 2000; ++i)
        text += "n" + std::to_string(i) + "\r\n";
    for (const char* name : {"n5", "n1999", "n2000", "zz"})
        state.g_presence.ApplyPresence(name, true);
    EXPECT_TRUE(RunPresenceRefresh(state, text, sender).completed);
    EXPECT_EQ(state.g_presence.BuildOnlineText(), "n5\r\nn1999\r\n");
    EXPECT_EQ(sender.blocks.size(), 1u + 2u * 2000u);
    EXPECT_EQ(sender.blocks.back(), Requests({"n2000"}).front());
}

}  // namespace
