// The accounts scenarios' state file must read back in the server as the accounts it was meant
// to hold, and what a stopped server left in it must count as it is: a mismatch either way would
// pass for a server that loses or refuses names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "StateFileAccounts.h"
#include "PasswordHasher.h"
#include "StateRecords.h"

namespace {

using qornc::server::JournalState;
using qornc::server::PasswordHasher;

class TempFile {
public:
    TempFile()
    {
        char pattern[] = "/tmp/qornc-state-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd >= 0)
            ::close(fd);
        m_path = pattern;
    }
    ~TempFile() { ::unlink(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    [[nodiscard]] const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::string Contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

const std::vector<std::string> kNames{"u00001", "a100000", "with space", "100%", "tab\there", "é"};

TEST(StateFileAccounts, TheServerReadsEveryNameWrittenWithItsHash)
{
    const std::string hash = "$argon2id$v=19$m=19456,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNoaGFzaA";
    TempFile file;
    ASSERT_TRUE(WriteStateAccounts(file.path(), kNames, hash));
    JournalState state;
    const auto replay = qornc::server::replayRecords(Contents(file.path()), state);
    ASSERT_TRUE(replay.ok) << replay.error;
    EXPECT_FALSE(replay.tornTail);
    ASSERT_EQ(state.accounts.size(), kNames.size());
    for (const std::string& name : kNames)
        EXPECT_EQ(state.accounts[name], hash) << name;
}

TEST(StateFileAccounts, CountsTheAccountsTheServerWroteAndNothingElse)
{
    qornc::server::HeldMessage held;
    held.id = 7;
    held.recipient = "u00002";
    held.notification = "hello";
    const std::string content = "# a comment\n" + qornc::server::accountRecord("u00001", "$h1")
        + qornc::server::heldRecord(held) + qornc::server::releasedRecord(7)
        + qornc::server::accountRecord("with space", "$h2") + qornc::server::accountRecord("u00001", "$h3")
        + "$torn u00009";  // cut short by a crash: never acknowledged
    TempFile file;
    std::ofstream(file.path(), std::ios::binary) << content;
    const auto names = ReadStateAccounts(file.path());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::set<std::string>{"u00001", "with space"}));
    EXPECT_FALSE(ReadStateAccounts(file.path() + ".missing"));
}

TEST(StateFileAccounts, TheHashVerifiesAtTheServersOwnCost)
{
    const auto hash = HashPassword("campus-password");
    ASSERT_TRUE(hash);
    EXPECT_TRUE(PasswordHasher::verify(*hash, "campus-password"));
    EXPECT_FALSE(PasswordHasher::verify(*hash, "other"));
    // A weaker hash would be rehashed at each first login, work the server would not do for real users.
    EXPECT_FALSE(PasswordHasher().isWeaker(*hash));
    EXPECT_NE(hash->find("$argon2id$"), std::string::npos);
}

}  // namespace
