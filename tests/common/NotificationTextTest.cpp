#include "common/NotificationText.h"

#include <gtest/gtest.h>

// What a server writes, byte for byte; the parser table reads these very texts back.
TEST(NotificationText, WritesTheTextsTheClientReads)
{
    EXPECT_EQ(MessageNotificationText("ann", "hi  there "), "message ann hi  there ");
    EXPECT_EQ(GetBuddyNotificationText(true, "bob smith"), "getbuddy true bob smith");
    EXPECT_EQ(GetBuddyNotificationText(false, "bob"), "getbuddy false bob");
}
