#include "AccountBook.h"
#include "StateFile.h"

// Loading from disk, the accounts file, refusing a broken file and surviving a restart are
// checked by running the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;

// Names are bytes: a newline or '%' in a name must not break the file or another name.
TEST(StateFile, KeepsHashesOfRegisteredNamesOnlyAndYieldsToTheAccountsFile)
{
    const PasswordHasher hasher(PasswordHasher::cheapestCost());
    AccountBook book(10, hasher);
    ASSERT_TRUE(book.preset("admin", "clear pw"));
    const std::vector<std::string> names = {"alice", "two\nlines", "50%", "caf\xc3\xa9\x7f"};
    for (const std::string& name : names)
        ASSERT_TRUE(book.addHashed(name, hasher.hash("s3cret " + name).value()));
    const std::string saved = formatState(book);
    EXPECT_TRUE(saved.find("s3cret") == std::string::npos && saved.find("admin") == std::string::npos) << saved;

    AccountBook reloaded(names.size() + 2, PasswordHasher(PasswordHasher::cheapestCost()));
    ASSERT_TRUE(reloaded.preset("alice", "from the accounts file"));
    std::string error;
    ASSERT_TRUE(parseState(saved, reloaded, error)) << error;
    EXPECT_TRUE(reloaded.clearMatches("alice", "from the accounts file"));
    EXPECT_FALSE(reloaded.clearMatches("alice", "from the accounts fil"));
    for (const std::string& name : names)
        EXPECT_TRUE(name == "alice" || PasswordHasher::verify(reloaded.storedHash(name), "s3cret " + name)) << name;
    // A hash libsodium would not take, or a name escaped otherwise than the server does, is a broken line.
    const std::string hash = saved.substr(saved.find('$'), saved.find(' ', saved.find('$')) - saved.find('$'));
    for (const std::string& bad : {std::string("$argon2id$x b"), hash + " b%0a", hash + " b%4", hash + " b b"})
        EXPECT_FALSE(parseState(bad, reloaded, error)) << bad;
    EXPECT_TRUE(parseState(hash + " bob", reloaded, error)) << error;
    EXPECT_EQ(formatState(reloaded).find(" alice\n"), std::string::npos) << "a preset name is not the state's";
}
