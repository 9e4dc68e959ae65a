#include "common/RequestBlock.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "common/Protocol.h"

namespace {

// Accepted blocks hold the text, a NUL and NUL fill to their size; texts past their capacity
// are refused whole, never cut.
TEST(RequestBlock, LaysOutTextsThatFitAndRefusesTheRest)
{
    struct Row {
        const char* label;
        std::optional<std::string> block;
        std::string text; // empty: refused
        std::size_t blockSize;
    };
    const std::string name30(30, 'u');
    const std::string password26(26, 'p');
    const std::string contact112(112, 'c'); // behind "getbuddy me pw ": 127 characters
    const std::string text237(237, 't');    // behind "message me pw bob ": 255 characters
    const Row rows[] = {
        {"getbuddy, bytes as they are", GetBuddyBlock("me", "pw", "Jos\xe9 \xc2\xa0"), "getbuddy me pw Jos\xe9 \xc2\xa0", 128},
        {"login of 63 characters", LoginBlock(name30, password26, 256), "login " + name30 + " " + password26, 256},
        {"login of 64 characters", LoginBlock(name30 + "u", password26, 256), "", 0},
        {"getbuddy of 127 characters", GetBuddyBlock("me", "pw", contact112), "getbuddy me pw " + contact112, 128},
        {"getbuddy of 128 characters", GetBuddyBlock("me", "pw", contact112 + "c"), "", 0},
        {"message of 255 characters", MessageBlock("me", "pw", "bob", text237), "message me pw bob " + text237, 256},
        {"message of 256 characters", MessageBlock("me", "pw", "bob", text237 + "t"), "", 0},
        {"NUL inside a field", GetBuddyBlock("me", "pw", std::string("a\0b", 3)), "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_EQ(row.block.has_value(), !row.text.empty());
        EXPECT_EQ(row.block.value_or(""), row.text + std::string(row.blockSize - row.text.size(), '\0'));
    }
}

}  // namespace
