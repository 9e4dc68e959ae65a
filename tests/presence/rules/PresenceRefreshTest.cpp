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
    }

    static std::vector<std::string> Requests(const std::vector<std::string>& names)
    {
        std::vector<std::string> blocks;
        for (const std::string& name : names)
            blocks.push_back(GetBuddyBlock("me", "pw", name).value());
        return blocks;
    }

    State state;
};

// The first line is asked once and every other twice, empty lines like names; a name too long
// for its request is skipped, not sent cut. A failed first send stops the refresh; a later one
// does not, but is not kept quiet either: a link that stopped taking requests would otherwise
// fail unseen.
TEST_F(PresenceRefreshTest, AsksEachNameAndReportsFailedSends)
{
    const std::string tooLong(120, 'l');
    struct Case {
        const char* name;
        std::string list;
        std::size_t failingCall; // 0: none fails
        int code;
        std::vector<std::string> asked;
        const char* status;
        int refused;
    };
    const Case cases[] = {
        {"all sent", "alice\r\n\r\nbob\r\ncarol\r\n", 0, 0, {"alice", "", "", "bob", "bob", "carol", "carol"}, "", 0},
        {"too long skipped", tooLong + "\r\nbob\r\n" + tooLong + "\r\n", 0, 0, {"bob", "bob"}, "", 2},
        {"first fails", "alice\r\nbob\r\ncarol\r\n", 1, wsa::kNotConnected, {"alice"}, "Message send error: WSAENOTCONN.", 0},
        {"later fails", "alice\r\nbob\r\ncarol\r\n", 2, wsa::kNoBuffers, {"alice", "bob", "bob", "carol", "carol"},
         "Message send error: WSAENOBUFS.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.g_refreshDue = 1;
        state.g_queryPending = 0;
        RecordingSender sender;
        if (c.failingCall != 0)
            sender.FailCall(c.failingCall, c.code);
        const RefreshOutcome outcome = RunPresenceRefresh(state, state, c.list, sender);
        EXPECT_EQ(sender.blocks, Requests(c.asked));
        EXPECT_EQ(outcome.statusText, c.status);
        EXPECT_EQ(outcome.requestsRefused, c.refused);
        EXPECT_TRUE(outcome.completed);
        EXPECT_EQ(state.g_refreshDue, 0);
        EXPECT_EQ(state.g_queryPending, c.failingCall == 1 ? 0 : 1) << "an answer is awaited once a request went out";
    }
}

}  // namespace
