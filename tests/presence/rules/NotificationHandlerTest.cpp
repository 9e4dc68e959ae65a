#include "presence/rules/NotificationHandler.h"

#include <string>

#include <gtest/gtest.h>

#include "app/rules/ClientState.h"

namespace {

TEST(NotificationHandler, PresenceAnswersUpdateTheTableAndMalformedOnesOnlyEndTheQuery)
{
    ClientState state;
    const std::pair<const char*, const char*> rows[] = {
        {"getbuddy true Ann Lee", "Ann Lee\r\n"},
        {"getbuddy true eve\nmallory", "Ann Lee\r\n"},
        {"getbuddy true eve\r", "Ann Lee\r\n"},
        {"getbuddy false", "Ann Lee\r\n"},
        {"getbuddy false Ann Lee", ""},
    };
    for (const auto& [text, online] : rows) {
        SCOPED_TRACE(text);
        state.g_queryPending = 1;
        state.g_onlineRebuildDue = 0;
        state.g_lastCommand = 1;
        HandleNotification(state, text);
        EXPECT_EQ(state.g_queryPending, 0);
        EXPECT_EQ(state.g_onlineText, online);
        EXPECT_EQ(state.g_onlineRebuildDue, 1); // even to empty: the last one offline empties the list
        EXPECT_EQ(state.g_lastCommand, 0);
    }
}

}  // namespace
