#include "common/RequestText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

TEST(RequestText, SplitsTheHeadWithoutTrimmingAnySpace)
{
    struct Case {
        const char* text;
        std::string_view keyword, name, afterName;
        bool hasName, hasAfterName;
    };
    const Case cases[] = {
        {"login ann pw", "login", "ann", "pw", true, true},
        {"login ann", "login", "ann", "", true, false},
        {"login", "login", "", "", false, false},
        {"login  pw", "login", "", "pw", false, true},
        {"message ann p w  bob  hi ", "message", "ann", "p w  bob  hi ", true, true},
    };
    for (const Case& c : cases) {
        const RequestHead head = ParseRequestHead(c.text);
        EXPECT_EQ(head.keyword, c.keyword) << c.text;
        EXPECT_EQ(head.name, c.name) << c.text;
        EXPECT_EQ(head.afterName, c.afterName) << c.text;
        EXPECT_EQ(head.hasName, c.hasName) << c.text;
        EXPECT_EQ(head.hasAfterName, c.hasAfterName) << c.text;
    }
}

TEST(RequestText, FindsTheFieldsAfterAPasswordThatMayHoldSpaces)
{
    struct Case {
        const char* afterName;
        const char* password;
        std::optional<std::string_view> fields;
        std::optional<std::string_view> recipient, text;
    };
    const Case cases[] = {
        {"pw bob hi there", "pw", "bob hi there", "bob", "hi there"},
        {"p w bob hi", "p w", "bob hi", "bob", "hi"},
        {"pw bob", "pw", "bob", "bob", ""},
        {"pw  hi", "pw", " hi", std::nullopt, std::nullopt},
        {"pwx bob hi", "pw", std::nullopt, std::nullopt, std::nullopt},
        {"pw", "pw", std::nullopt, std::nullopt, std::nullopt},
        {"pw bob", "", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto fields = FieldsAfterPassword(c.afterName, c.password);
        EXPECT_EQ(fields, c.fields) << c.afterName;
        if (!fields)
            continue;
        const auto message = ParseMessageFields(*fields);
        EXPECT_EQ(message.has_value(), c.recipient.has_value()) << c.afterName;
        if (message) {
            EXPECT_EQ(message->recipient, *c.recipient) << c.afterName;
            EXPECT_EQ(message->text, *c.text) << c.afterName;
        }
    }
}

TEST(RequestText, OffersEveryPlaceAnUnknownPasswordMayEndShortestFirst)
{
    using Views = std::vector<std::string_view>;
    EXPECT_EQ(PasswordCandidates("a b c d", 10), (Views{"a", "a b", "a b c"}));
    EXPECT_EQ(PasswordCandidates("a b c d", 2), (Views{"a", "a b"}));
    EXPECT_EQ(PasswordCandidates(" a b", 10), (Views{" a"}));
    EXPECT_EQ(PasswordCandidates("nospace", 10), Views{});
}
