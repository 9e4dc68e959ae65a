#include "net/rules/Mailbox.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

// A flood keeps the newest messages, in arrival order, and says how many older ones it lost.
TEST(Mailbox, KeepsTheNewestMessagesInOrderAndCountsTheDropped)
{
    struct Row {
        std::size_t pushed;
        std::size_t dropped;
    };
    for (const Row row : {Row{3, 0}, Row{Mailbox::kCapacity, 0}, Row{Mailbox::kCapacity + 5, 5}}) {
        SCOPED_TRACE(row.pushed);
        Mailbox mailbox;
        for (std::size_t i = 0; i < row.pushed; ++i)
            mailbox.Push({"s" + std::to_string(i), "t" + std::to_string(i)});
        const auto messages = mailbox.TakeAll();
        ASSERT_EQ(messages.size(), row.pushed - row.dropped);
        for (std::size_t i = 0; i < messages.size(); ++i) {
            EXPECT_EQ(messages[i].senderName, "s" + std::to_string(i + row.dropped));
            EXPECT_EQ(messages[i].messageText, "t" + std::to_string(i + row.dropped));
        }
        EXPECT_TRUE(mailbox.empty());
        EXPECT_EQ(mailbox.TakeDroppedCount(), row.dropped);
        EXPECT_EQ(mailbox.TakeDroppedCount(), 0u);
    }
}
