// The accounts scenarios' state file must read back in the server as the accounts it was meant
// to hold, and what a stopped server left in it must count as it is: a mismatch either way would
// pass for a server that loses or refuses names.
#include <gtest/gtest.h>

#include "PasswordHasher.h"
#include "StateFileAccounts.h"
#include "StateRecords.h"
#include "tests/support/TempDir.h"

namespace {

using qornc::server::JournalState;
using qornc::server::PasswordHasher;

const std::vector<std::string> kNames{"u00001", "a100000", "with space", "100%", "tab\there", "é"};

TEST(StateFileAccounts, TheServerReadsEveryNameWrittenWithItsHash)
{
    const std::string hash = "$argon2id$v=19$m=19456,t=2,p=1$c2FsdHNhbHRzYWx0$aGFzaGhhc2hoYXNoaGFzaA";
    const TempDir folder;
    ASSERT_TRUE(WriteStateAccounts(folder / "state", kNames, hash));
    JournalState state;
    const auto replay = qornc::server::replayRecords(ReadBytes(folder / "state"), state);
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
    const TempDir folder;
    WriteBytes(folder / "state", content);
    const auto names = ReadStateAccounts(folder / "state");
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::set<std::string>{"u00001", "with space"}));
    EXPECT_FALSE(ReadStateAccounts(folder / "missing"));
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
