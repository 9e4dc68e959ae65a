#include "AccountBook.h"
#include "AccountsFile.h"

// Loading from disk, and refusing an unreadable file, is checked by running the program.

#include <gtest/gtest.h>

#include <string>

using namespace qornc::server;

TEST(AccountBook, FirstLoginFixesThePassword)
{
    AccountBook book;
    EXPECT_EQ(book.login("alice", "one two"), AccountBook::Login::Registered);
    EXPECT_EQ(book.login("alice", "one two"), AccountBook::Login::Accepted);
    EXPECT_EQ(book.login("alice", "one"), AccountBook::Login::WrongPassword);
    EXPECT_EQ(book.login("alice", "one two "), AccountBook::Login::WrongPassword);
    ASSERT_NE(book.passwordOf("alice"), nullptr);
    EXPECT_EQ(*book.passwordOf("alice"), "one two");
    EXPECT_EQ(book.passwordOf("Alice"), nullptr);
}

TEST(AccountBook, CapacityRefusesOnlyNewNames)
{
    AccountBook book(2);
    EXPECT_EQ(book.login("a", "1"), AccountBook::Login::Registered);
    EXPECT_TRUE(book.preset("b", "2"));
    EXPECT_EQ(book.login("c", "3"), AccountBook::Login::Full);
    EXPECT_FALSE(book.preset("d", "4"));
    EXPECT_EQ(book.login("a", "1"), AccountBook::Login::Accepted);
    EXPECT_EQ(book.login("b", "2"), AccountBook::Login::Accepted);
    EXPECT_EQ(book.size(), 2u);
}

TEST(AccountsFile, ParsesLinesOrNamesTheBadOne)
{
    struct Case {
        const char* name;
        std::string content;
        bool ok;
        std::string errorPart;
        std::vector<std::pair<std::string, std::string>> accounts;
    };
    const std::vector<Case> cases = {
        {"plain", "alice secret\nbob two words\n", true, "", {{"alice", "secret"}, {"bob", "two words"}}},
        {"crlf and no final newline", "alice secret\r\nbob pw", true, "", {{"alice", "secret"}, {"bob", "pw"}}},
        {"comments and blanks", "# users\n\nalice  spaced\n", true, "", {{"alice", " spaced"}}},
        {"missing password", "alice secret\nbob\n", false, "line 2", {}},
        {"empty password", "alice \n", false, "line 1", {}},
        {"leading space", " alice pw\n", false, "line 1", {}},
        {"duplicate", "alice a\n\nalice b\n", false, "line 3: duplicate", {}},
    };
    for (const Case& c : cases) {
        AccountBook book;
        std::string error;
        EXPECT_EQ(parseAccounts(c.content, book, error), c.ok) << c.name;
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.name << ": " << error;
        for (const auto& [user, password] : c.accounts) {
            ASSERT_NE(book.passwordOf(user), nullptr) << c.name;
            EXPECT_EQ(*book.passwordOf(user), password) << c.name;
        }
    }
}
