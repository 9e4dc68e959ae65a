#include "ui/ConversationEntry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ConversationEntry, AppendsBehindShortViewsAndStartsOverPastTheLimit)
{
    struct Row {
        std::size_t oldSize;
        bool kept;
    };
    for (const Row row : {Row{0, true}, Row{2999, true}, Row{3000, false}, Row{5000, false}}) {
        SCOPED_TRACE(row.oldSize);
        const std::string old(row.oldSize, 'o');
        const std::string entry = "me: hi there\r\n\r\n";
        EXPECT_EQ(ComposeConversation(old, "me", "hi there"), row.kept ? old + entry : entry);
    }
}

}  // namespace
