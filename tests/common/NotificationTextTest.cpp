#include "common/NotificationText.h"

#include <gtest/gtest.h>

#include "common/NotificationParser.h"

// What a server writes is what a client reads back: the two sides share these texts.
TEST(NotificationText, ReadsBackAsTheSameFieldsOnTheClient)
{
    EXPECT_EQ(MessageNotificationText("ann", "hi  there "), "message ann hi  there ");
    EXPECT_EQ(GetBuddyNotificationText(true, "bob smith"), "getbuddy true bob smith");
    EXPECT_EQ(GetBuddyNotificationText(false, "bob"), "getbuddy false bob");

    const Notification message = ParseNotification(MessageNotificationText("ann", "hi  there "));
    EXPECT_EQ(message.kind, NotificationKind::Message);
    EXPECT_EQ(message.senderName, "ann");
    EXPECT_EQ(message.messageText, "hi  there ");

    for (const bool online : {true, false}) {
        const Notification answer = ParseNotification(GetBuddyNotificationText(online, "bob smith"));
        EXPECT_EQ(answer.kind, NotificationKind::GetBuddy);
        EXPECT_EQ(answer.buddyOnline, online);
        EXPECT_TRUE(answer.hasBuddyName);
        EXPECT_EQ(answer.buddyName, "bob smith");
    }
}
