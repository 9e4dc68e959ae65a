#include "net/RequestBlock.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "net/Protocol.h"

namespace {

struct LayoutRow {
    const char* label;
    std::optional<std::string> block;
    std::string text;
    std::size_t blockSize;
};

TEST(RequestBlock, LaysOutTextNulAndFillToTheBlockSize)
{
    const LayoutRow rows[] = {
        {"startup login", LoginBlock("abcdefgh", "12345", kStartupLoginBlockSize), "login abcdefgh 12345", 256},
        {"connect login", LoginBlock("abcdefgh", "12345", kConnectLoginBlockSize), "login abcdefgh 12345", 128},
        {"logout", LogoutBlock("ann", "pw"), "logout ann pw", 128},
        {"getbuddy, name with space", GetBuddyBlock("me", "pw", "Ann Lee"), "getbuddy me pw Ann Lee", 128},
        {"getbuddy, empty name", GetBuddyBlock("me", "pw", ""), "getbuddy me pw ", 128},
        {"message", MessageBlock("me", "pw", "bob", "hi there"), "message me pw bob hi there", 256},
        {"password with a space", LoginBlock("me", "p w", 128), "login me p w", 128},
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(row.block.has_value());
        EXPECT_EQ(row.block->size(), row.blockSize);
        EXPECT_EQ(row.block->substr(0, row.text.size()), row.text);
        EXPECT_EQ(row.block->find_first_not_of('\0', row.text.size()), std::string::npos);
    }
}

struct BoundaryRow {
    const char* label;
    std::optional<std::string> block;
    bool accepted;
};

TEST(RequestBlock, RefusesTextsPastTheirCapacityInsteadOfCutting)
{
    const std::string name30(30, 'u');
    const std::string password26(26, 'p');
    // "getbuddy " + "me" + " " + "pw" + " " = 15 characters before the contact.
    const std::string contact112(112, 'c');
    // "message me pw bob " = 18 characters before the text.
    const std::string text237(237, 't');
    const BoundaryRow rows[] = {
        {"login of 63 characters", LoginBlock(name30, password26, 256), true},
        {"login of 64 characters", LoginBlock(name30 + "u", password26, 256), false},
        {"logout of 64 characters", LogoutBlock(name30, password26), false},
        {"logout of 63 characters", LogoutBlock(name30, password26.substr(1)), true},
        {"getbuddy of 127 characters", GetBuddyBlock("me", "pw", contact112), true},
        {"getbuddy of 128 characters", GetBuddyBlock("me", "pw", contact112 + "c"), false},
        {"message of 255 characters", MessageBlock("me", "pw", "bob", text237), true},
        {"message of 256 characters", MessageBlock("me", "pw", "bob", text237 + "t"), false},
        {"NUL inside a field", LoginBlock(std::string("a\0b", 3), "pw", 256), false},
        {"text filling its block but its NUL", BuildRequestBlock(std::string(32, 'x'), 64, 32), false},
    };
    for (const BoundaryRow& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(row.block.has_value(), row.accepted);
    }
}

}  // namespace
