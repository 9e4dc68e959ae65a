#include "ui/rules/ConversationEntry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ConversationEntry, AppendsBehindShortViewsAndStartsOverPastTheLimit)
{
    for (const std::size_t oldSize : {0, 2999, 3000, 5000}) {
        SCOPED_TRACE(oldSize);
        const std::string old(oldSize, 'o');
        const std::string entry = "me: hi there\r\n\r\n";
        EXPECT_EQ(ComposeConversation(old, "me", "hi there"), oldSize < 3000 ? old + entry : entry);
    }
}

}  // namespace
