#include "presence/rules/NotificationHandler.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/NotificationParser.h"
#include "net/rules/LinkState.h"
#include "presence/rules/PresenceState.h"

namespace {

// The records the presence side is handed.
struct State : LinkState, PresenceState {};

struct Shown {
    std::string onlineText;               // what the Online list is rebuilt from
    std::vector<std::string> messages;    // "sender: text", as the conversation will show them
    bool queryPending;                    // sending still refused
};

Shown Deliver(State& state, const char* text)
{
    HandleNotification(state, state, ParseNotification(text));
    Shown shown{state.g_onlineRebuildDue == 1 ? state.g_onlineText : "(unchanged)", {}, state.g_queryPending == 1};
    for (const InboundMessage& message : state.g_messages.TakeAll())
        shown.messages.push_back(message.senderName + ": " + message.messageText);
    state.g_onlineRebuildDue = 0;
    return shown;
}

// Each row is delivered after the ones above it, to a client with "Ann Lee" and "bob" listed and a
// presence query outstanding.
TEST(NotificationHandler, StoresWhatEachNotificationMeansForTheOnlineListAndTheConversation)
{
    struct Row {
        const char* text;
        Shown expected;
    };
    const Row rows[] = {
        {"getdata x", {"(unchanged)", {}, true}},
        {"set_mode busy", {"(unchanged)", {}, true}},
        {"hello there", {"(unchanged)", {}, true}},
        {"message carol hi", {"(unchanged)", {"carol: hi"}, true}},
        {"getbuddy true Ann Lee", {"Ann Lee\r\n", {}, false}},
        {"message bob  two words ", {"Ann Lee\r\nbob\r\n", {"bob:  two words "}, false}},
        {"message bob again", {"(unchanged)", {"bob: again"}, false}},
        {"getbuddy true eve\nmallory", {"Ann Lee\r\nbob\r\n", {}, false}},
        {"getbuddy true eve\r", {"Ann Lee\r\nbob\r\n", {}, false}},
        {"getbuddy false", {"Ann Lee\r\nbob\r\n", {}, false}},
        {"getbuddy false bob", {"Ann Lee\r\n", {}, false}},
        {"getbuddy false Ann Lee", {"", {}, false}},
    };
    State state;
    state.g_contactSnapshot.assign("Ann Lee\r\nbob\r\n");
    state.g_queryPending = 1;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Shown shown = Deliver(state, row.text);
        EXPECT_EQ(shown.onlineText, row.expected.onlineText);
        EXPECT_EQ(shown.messages, row.expected.messages);
        EXPECT_EQ(shown.queryPending, row.expected.queryPending);
    }
    EXPECT_EQ(state.g_messageArrived, 1);
}

}  // namespace
