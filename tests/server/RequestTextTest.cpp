#include "RequestText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

using namespace qornc::server;

// The router's scenarios drive these through whole requests; the rows here are the edges they don't reach.
TEST(RequestText, HeadSplitsKeywordAndNameOnly)
{
    struct Case {
        std::string text, keyword, name, afterName;
        bool hasName, hasAfterName;
    };
    const std::vector<Case> cases = {
        {"login alice  two  spaces ", "login", "alice", " two  spaces ", true, true},
        {"login alice", "login", "alice", "", true, false},
        {"login  alice pw", "login", "", "alice pw", false, true},
        {"", "", "", "", false, false},
    };
    for (const Case& c : cases) {
        const RequestHead head = parseHead(c.text);
        EXPECT_EQ(head.keyword, c.keyword) << c.text;
        EXPECT_EQ(head.name, c.name) << c.text;
        EXPECT_EQ(head.afterName, c.afterName) << c.text;
        EXPECT_EQ(head.hasName, c.hasName) << c.text;
        EXPECT_EQ(head.hasAfterName, c.hasAfterName) << c.text;
    }
}

TEST(RequestText, PasswordMustBeFollowedByOneSpace)
{
    const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
        {"my secret pw  bob", "my secret pw", " bob"},
        {"pw ", "pw", ""},
        {"pw", "pw", std::nullopt},
        {"PW bob", "pw", std::nullopt},
        {" pw bob", "pw", std::nullopt},
        {"pw bob", "", std::nullopt},
    };
    for (const auto& [afterName, password, fields] : cases)
        EXPECT_EQ(fieldsAfterPassword(afterName, password), fields) << "'" << afterName << "' / '" << password << "'";
}

TEST(RequestText, MessageFieldsKeepTextBytes)
{
    const auto spaced = parseMessageFields("bob  leading and trailing ");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->recipient, "bob");
    EXPECT_EQ(spaced->text, " leading and trailing ");
    EXPECT_EQ(parseMessageFields("bob ")->text, "");
    EXPECT_FALSE(parseMessageFields(" hi"));
    EXPECT_FALSE(parseMessageFields(""));
}
