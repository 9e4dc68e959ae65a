#include "net/NotificationParser.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using K = NotificationKind;

struct ParseRow {
    std::string text;
    K kind;
    std::string sender;
    std::string message;
    std::string buddy;
    bool online;
    bool hasName;
};

TEST(NotificationParser, ReadsKindAndFields)
{
    const ParseRow rows[] = {
        {"message bob hello there world", K::Message, "bob", "hello there world", "", false, false},
        {"message bob", K::Message, "bob", "", "", false, false},
        {"message  hi you", K::Message, "", "hi you", "", false, false},
        {"message", K::Message, "", "", "", false, false},
        {"messages bob x", K::Message, "bob", "x", "", false, false},
        {"getbuddymessage bob x", K::Message, "bob", "x", "", false, false},
        {"xgetdatay true bob", K::GetData, "", "", "", false, false},
        {"set_mode 1", K::SetMode, "", "", "", false, false},
        {"getbuddy true Ann Lee", K::GetBuddy, "", "", "Ann Lee", true, true},
        {"getbuddy  bob", K::GetBuddy, "", "", "bob", false, true},
        {"getbuddy false bob", K::GetBuddy, "", "", "bob", false, true},
        {"getbuddy untrue bob", K::GetBuddy, "", "", "bob", true, true},
        {"getbuddy true ", K::GetBuddy, "", "", "", true, true},
        {"getbuddy true", K::GetBuddy, "", "", "", true, false},
        {"getbuddy", K::GetBuddy, "", "", "", false, false},
        {" message bob hi", K::None, "", "", "", false, false},
        {"Message bob hi", K::None, "", "", "", false, false},
        {"", K::None, "", "", "", false, false},
        {std::string("message bob hi\0getbuddy true x", 30), K::Message, "bob", "hi", "", false, false},
        {std::string("\0message bob hi", 15), K::None, "", "", "", false, false},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text);
        const Notification parsed = ParseNotification(row.text);
        EXPECT_EQ(parsed.kind, row.kind);
        EXPECT_EQ(parsed.senderName, row.sender);
        EXPECT_EQ(parsed.messageText, row.message);
        EXPECT_EQ(parsed.buddyName, row.buddy);
        EXPECT_EQ(parsed.buddyOnline, row.online);
        EXPECT_EQ(parsed.hasBuddyName, row.hasName);
    }
}

TEST(NotificationParser, CutsOverlongFieldsAtTheirBuffers)
{
    const std::string sender(300, 's');
    const std::string text(300, 't');
    const Notification message = ParseNotification("message " + sender + " " + text);
    EXPECT_EQ(message.senderName, sender.substr(0, 63));
    EXPECT_EQ(message.messageText, text.substr(0, 255));

    const std::string name(200, 'n');
    const Notification buddy = ParseNotification("getbuddy true " + name);
    EXPECT_EQ(buddy.buddyName, name.substr(0, 127));
    EXPECT_TRUE(buddy.buddyOnline);
}

TEST(NotificationParser, SearchesOnlyTheFirst127CharactersOfASpacelessWord)
{
    EXPECT_EQ(ParseNotification(std::string(120, 'x') + "message").kind, K::Message);
    EXPECT_EQ(ParseNotification(std::string(121, 'x') + "message").kind, K::None);
}

}  // namespace
