#include "presence/rules/PresenceRefresh.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/RequestBlock.h"
#include "net/rules/ErrorNames.h"
#include "net/rules/LinkState.h"
#include "presence/rules/PresenceState.h"
#include "support/RecordingSender.h"

namespace {

// The records the presence side is handed.
struct State : LinkState, PresenceState {};

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

    State state;
    RecordingSender sender;
};

// Empty lines are asked like names.
TEST_F(PresenceRefreshTest, AsksTheFirstOnceAndEveryOtherTwice)
{
    const RefreshOutcome outcome = RunPresenceRefresh(state, state, "alice\r\n\r\nbob\r\ncarol\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"alice", "", "", "bob", "bob", "carol", "carol"}));
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.statusText, "");
    EXPECT_EQ(state.g_queryPending, 1);
    EXPECT_EQ(state.g_refreshDue, 0);
}

// A failed first send stops the refresh; a later one does not, but is not kept quiet either: a
// link that stopped taking requests would otherwise fail unseen.
TEST_F(PresenceRefreshTest, FailedSendsAreReportedAndOnlyTheFirstStopsTheRefresh)
{
    struct Case {
        std::size_t failingCall;
        int code;
        std::vector<std::string> asked;
        const char* status;
    };
    const Case cases[] = {
        {1, wsa::kNotConnected, {"alice"}, "Message send error: WSAENOTCONN."},
        {2, wsa::kNoBuffers, {"alice", "bob", "bob", "carol", "carol"}, "Message send error: WSAENOBUFS."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        RecordingSender failing;
        failing.FailCall(c.failingCall, c.code);
        const RefreshOutcome outcome = RunPresenceRefresh(state, state, "alice\r\nbob\r\ncarol\r\n", failing);
        EXPECT_EQ(failing.blocks, Requests(c.asked));
        EXPECT_EQ(outcome.statusText, c.status);
        EXPECT_EQ(state.g_refreshDue, 0);
    }
}

// A name too long for its request is skipped, not sent cut; the rest are still asked.
TEST_F(PresenceRefreshTest, NamesTooLongForTheirRequestAreSkipped)
{
    const std::string tooLong(120, 'l');
    const RefreshOutcome outcome = RunPresenceRefresh(state, state, tooLong + "\r\nbob\r\n" + tooLong + "\r\n", sender);
    EXPECT_EQ(sender.blocks, Requests({"bob", "bob"}));
    EXPECT_EQ(outcome.requestsRefused, 2);
    EXPECT_EQ(state.g_queryPending, 1);
}

}  // namespace
