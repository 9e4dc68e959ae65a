#include "AccountBook.h"
#include "StateFile.h"

// Loading from disk, the accounts file, refusing a broken file and surviving a restart are
// checked by running the program.

#include <gtest/gtest.h>

#include <string>

using namespace qornc::server;

namespace {

AccountBook cheapBook(std::size_t capacity = AccountBook::kDefaultCapacity)
{
    return AccountBook(capacity, PasswordHasher(PasswordHasher::cheapestCost()));
}

} // namespace

// Names are bytes: a newline or '%' in a name must not break the file or another name.
TEST(StateFile, KeepsHashesOfRegisteredNamesOnly)
{
    AccountBook book = cheapBook();
    ASSERT_TRUE(book.preset("admin", "clear pw"));
    const std::vector<std::string> names = {"alice", "two\nlines", "50%", "caf\xc3\xa9\x7f"};
    for (const std::string& name : names)
        ASSERT_TRUE(book.registerName(name, "s3cret " + name));
    const std::string saved = formatState(book);
    EXPECT_EQ(saved.find("s3cret"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("admin"), std::string::npos) << saved;

    AccountBook reloaded = cheapBook(names.size());
    std::string error;
    ASSERT_TRUE(parseState(saved, reloaded, error)) << error;
    for (const std::string& name : names) {
        EXPECT_TRUE(reloaded.matches(name, "s3cret " + name)) << name;
        EXPECT_FALSE(reloaded.matches(name, "s3cret")) << name;
    }
    EXPECT_EQ(formatState(reloaded), saved);
    for (const char* bad : {"$argon2id$v=19$broken alice\n", "alice\n", "%41 x\n"}) {
        AccountBook empty = cheapBook();
        EXPECT_FALSE(parseState(bad, empty, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
    EXPECT_FALSE(parseState(saved, reloaded, error));
    EXPECT_NE(error.find("duplicate"), std::string::npos) << error;
}
