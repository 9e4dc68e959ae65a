#include "RequestText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace qornc::server;

TEST(RequestText, HeadSplitsKeywordAndNameOnly)
{
    struct Case {
        std::string text;
        std::string keyword;
        std::string name;
        std::string afterName;
        bool hasName;
        bool hasAfterName;
    };
    const std::vector<Case> cases = {
        {"login alice secret", "login", "alice", "secret", true, true},
        {"login alice  two  spaces ", "login", "alice", " two  spaces ", true, true},
        {"login alice ", "login", "alice", "", true, true},
        {"login alice", "login", "alice", "", true, false},
        {"login", "login", "", "", false, false},
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
    struct Case {
        std::string afterName;
        std::string password;
        std::optional<std::string> fields;
    };
    const std::vector<Case> cases = {
        {"pw bob", "pw", "bob"},
        {"my secret pw bob smith", "my secret pw", "bob smith"},
        {"my secret pw  bob", "my secret pw", " bob"},
        {"pw ", "pw", ""},
        {"pw", "pw", std::nullopt},          // nothing after the password
        {"pw2 bob", "pw", std::nullopt},     // password is only a prefix of the word
        {"my bob hi", "my secret", std::nullopt},
        {"my secretbob hi", "my secret", std::nullopt},
        {"PW bob", "pw", std::nullopt},
        {" pw bob", "pw", std::nullopt},
        {"pw bob", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto fields = fieldsAfterPassword(c.afterName, c.password);
        ASSERT_EQ(fields.has_value(), c.fields.has_value()) << "'" << c.afterName << "' / '" << c.password << "'";
        if (fields) {
            EXPECT_EQ(*fields, *c.fields) << c.afterName;
        }
    }
}

TEST(RequestText, MessageFieldsKeepTextBytes)
{
    struct Case {
        std::string fields;
        bool valid;
        std::string recipient;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"bob hello world", true, "bob", "hello world"},
        {"bob  leading and trailing ", true, "bob", " leading and trailing "},
        {"bob", true, "bob", ""},
        {"bob ", true, "bob", ""},
        {" hi", false, "", ""},
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        const auto parsed = parseMessageFields(c.fields);
        ASSERT_EQ(parsed.has_value(), c.valid) << c.fields;
        if (!parsed)
            continue;
        EXPECT_EQ(parsed->recipient, c.recipient) << c.fields;
        EXPECT_EQ(parsed->text, c.text) << c.fields;
    }
}
