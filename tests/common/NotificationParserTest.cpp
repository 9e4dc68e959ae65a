#include "common/NotificationParser.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using K = NotificationKind;

TEST(NotificationParser, ReadsKindAndFieldsWithinTheirBuffers)
{
    struct Row {
        std::string text;
        K kind;
        std::string sender, message, buddy;
        bool online, hasName;
    };
    const std::string s(300, 's');
    const std::string t(300, 't');
    const Row rows[] = {
        {"message bob hello there world", K::Message, "bob", "hello there world", "", false, false},
        {"message ann hi  there ", K::Message, "ann", "hi  there ", "", false, false},
        {"message  hi you", K::Message, "", "hi you", "", false, false},
        {"getbuddymessage bob x", K::Message, "bob", "x", "", false, false},
        {"message " + s + " " + t, K::Message, s.substr(0, 63), t.substr(0, 255), "", false, false},
        {"xgetdatay true bob", K::GetData, "", "", "", false, false},
        {"set_mode 1", K::SetMode, "", "", "", false, false},
        {"getbuddy true Ann Lee", K::GetBuddy, "", "", "Ann Lee", true, true},
        {"getbuddy untrue " + s, K::GetBuddy, "", "", s.substr(0, 127), true, true},
        {"getbuddy false bob smith", K::GetBuddy, "", "", "bob smith", false, true},
        {"getbuddy true", K::GetBuddy, "", "", "", true, false},
        {std::string(120, 'x') + "message", K::Message, "", "", "", false, false},
        {std::string(121, 'x') + "message", K::None, "", "", "", false, false},
        {std::string("message bob hi\0getbuddy true x", 30), K::Message, "bob", "hi", "", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        const Notification parsed = ParseNotification(row.text);
        EXPECT_EQ(parsed.kind, row.kind);
        EXPECT_EQ(parsed.senderName, row.sender);
        EXPECT_EQ(parsed.messageText, row.message);
        EXPECT_EQ(parsed.buddyName, row.buddy);
        EXPECT_EQ(parsed.buddyOnline, row.online);
        EXPECT_EQ(parsed.hasBuddyName, row.hasName);
    }
}

}  // namespace
