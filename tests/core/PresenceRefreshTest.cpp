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

    std::vector<std::string> Requests(const std::vector<std::string>& names) const
    {
        std::vector<std::string> blocks;
        for (const std::string& name : names)
            blocks.push_back(GetBuddyBlock("me", "pw", name).value());
        return blocks;
    }

    ClientState state;
    RecordingSender sender;
};

TEST_F(PresenceRefreshTest, AsksTheFirstOnceAndEveryOtherTwice)
{
    const RefreshOutcome outcome = RunPresenceRefresh(state, "alice\r\nbob\r\ncarol\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"alice", "bob", "bob", "carol", "carol"}));
    for (const std::string& block : sender.blocks)
        EXPECT_EQ(block.size(), 128u);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.blocksSent, 5);
    EXPECT_EQ(outcome.statusText, "");
    EXPECT_EQ(state.g_queryPending, 1);
    EXPECT_EQ(state.g_refreshDue, 0);
}

TEST_F(PresenceRefreshTest, UnendedTailIsNeitherAskedNorKept)
{
    state.g_presence.ApplyPresence("alice", true);
    state.g_presence.ApplyPresence("bob", true);
    const RefreshOutcome outcome = RunPresenceRefresh(state, "alice\nbob", sender);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(sender.blocks, Requests({"alice"}));
    EXPECT_EQ(state.g_presence.BuildOnlineText(), "alice\r\n");
}

TEST_F(PresenceRefreshTest, ListWithoutLineEndAbortsAndChangesNothing)
{
    for (const char* text : {"", "alice"}) {
        SCOPED_TRACE(text);
        state.g_presence.ApplyPresence("zed", true);
        const RefreshOutcome outcome = RunPresenceRefresh(state, text, sender);
        EXPECT_FALSE(outcome.completed);
        EXPECT_TRUE(sender.blocks.empty());
        EXPECT_EQ(state.g_refreshDue, 1);
        EXPECT_EQ(state.g_queryPending, 0);
        EXPECT_EQ(state.g_presence.BuildOnlineText(), "zed\r\n");
    }
}

TEST_F(PresenceRefreshTest, FailedFirstSendReportsAndStops)
{
    sender.FailCall(1, wsa::kNotConnected);
    const RefreshOutcome outcome = RunPresenceRefresh(state, "alice\r\nbob\r\n", sender);
    EXPECT_EQ(outcome.statusText, "Message send error: WSAENOTCONN.");
    EXPECT_EQ(sender.blocks.size(), 1u);
    EXPECT_EQ(outcome.blocksSent, 0);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(state.g_queryPending, 0);
    EXPECT_EQ(state.g_refreshDue, 0);
}

TEST_F(PresenceRefreshTest, LaterFailuresDoNotStopTheRefresh)
{
    sender.FailCall(2, wsa::kConnReset);
    const RefreshOutcome outcome = RunPresenceRefresh(state, "alice\r\nbob\r\ncarol\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"alice", "bob", "bob", "carol", "carol"}));
    EXPECT_EQ(outcome.blocksSent, 4);
    EXPECT_EQ(outcome.statusText, "");
}

TEST_F(PresenceRefreshTest, EmptyLinesAreAskedLikeNames)
{
    const RefreshOutcome outcome = RunPresenceRefresh(state, "\nx\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"", "x", "x"}));
    EXPECT_TRUE(outcome.completed);
}

TEST_F(PresenceRefreshTest, NamesTooLongForTheirRequestAreSkippedAndCounted)
{
    const std::string tooLong(120, 'l');
    const RefreshOutcome outcome = RunPresenceRefresh(state, tooLong + "\r\nbob\r\n" + tooLong + "\r\ncy\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"bob", "bob", "cy", "cy"}));
    EXPECT_EQ(outcome.requestsRefused, 2);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(state.g_queryPending, 1);
}

TEST_F(PresenceRefreshTest, NoQueryIsPendingWhenNothingWentOut)
{
    const std::string tooLong(120, 'l');
    const RefreshOutcome outcome = RunPresenceRefresh(state, tooLong + "\r\n" + tooLong + "x\r\n", sender);
    EXPECT_TRUE(sender.blocks.empty());
    EXPECT_EQ(outcome.requestsRefused, 2);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(state.g_queryPending, 0);
    EXPECT_EQ(state.g_refreshDue, 0);
}

TEST_F(PresenceRefreshTest, PrunesOnlyToTheFirst2000Lines)
{
    std::string text;
    for (int i = 0; i <= 2000; ++i)
        text += "n" + std::to_string(i) + "\r\n";
    for (const char* name : {"n5", "n1999", "n2000", "zz"})
        state.g_presence.ApplyPresence(name, true);
    const RefreshOutcome outcome = RunPresenceRefresh(state, text, sender);
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(state.g_presence.BuildOnlineText(), "n5\r\nn1999\r\n");
    EXPECT_EQ(sender.blocks.size(), 1u + 2u * 2000u);
    EXPECT_EQ(sender.blocks.back(), Requests({"n2000"}).front());
}

}  // namespace
