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

TEST(ConversationEntry, CountsBytesNotCharacters)
{
    // 1500 two-byte characters: 3000 bytes, so the view starts over.
    std::string old;
    for (int i = 0; i < 1500; ++i)
        old += "\xc3\xa9";
    EXPECT_EQ(ComposeConversation(old, "ann", ""), "ann: \r\n\r\n");
}

}  // namespace
