#include "StateRecords.h"

#include "PasswordHasher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;

namespace {

const std::string kHash = PasswordHasher(PasswordHasher::cheapestCost()).hash("s3cret").value();
const std::string kOtherHash = PasswordHasher(PasswordHasher::cheapestCost()).hash("other").value();

JournalState stateOf(std::vector<std::pair<std::string, std::string>> accounts, std::vector<HeldMessage> held = {})
{
    JournalState state;
    state.accounts.insert(accounts.begin(), accounts.end());
    for (HeldMessage& message : held)
        state.held.emplace(message.id, std::move(message));
    return state;
}

} // namespace

// Names and texts are bytes: a newline, a space or '%' in one must not break the file or another
// record, and no password ever reaches it.
TEST(StateRecords, ASnapshotReadsBackAsTheStateItWasMadeOf)
{
    const JournalState state = stateOf(
        {{"alice", kHash}, {"two\nlines", kHash}, {"50%", kOtherHash}, {"caf\xc3\xa9\x7f", kHash}, {"sp ace", kHash}},
        {{7, "alice", "message bob hi  there", 1700000000}, {9, "sp ace", std::string("a\0b%\r\n", 6), 1}});
    const std::string snapshot = formatSnapshot(state);
    EXPECT_EQ(snapshot.find("s3cret"), std::string::npos);
    EXPECT_NE(snapshot.find(kHash + " alice\n"), std::string::npos) << "today's account line";
    EXPECT_NE(snapshot.find("held 7 1700000000 alice message%20bob%20hi%20%20there\n"), std::string::npos);

    JournalState reread;
    const Replay replay = replayRecords(snapshot, reread);
    ASSERT_TRUE(replay.ok) << replay.error;
    EXPECT_FALSE(replay.tornTail);
    EXPECT_EQ(formatSnapshot(reread), snapshot);
    EXPECT_EQ(reread.held.at(9).notification, std::string("a\0b%\r\n", 6));
}

// Records replay in order, the later winning; a line cut short by a crash is left out, also one
// that would read as a different record; any other line that does not fit stops the start.
TEST(StateRecords, ReplayKeepsTheLastWordAndLeavesOutATornLine)
{
    struct Case {
        const char* name;
        std::string content;
        JournalState expected;
        bool torn = false;
    };
    const Case cases[] = {
        {"a file of today", "# comment\n" + kHash + " alice\n\n" + kHash + " bob\n",
         stateOf({{"alice", kHash}, {"bob", kHash}})},
        {"a new hash replaces the old", kHash + " alice\n" + kOtherHash + " alice\n", stateOf({{"alice", kOtherHash}})},
        {"released goes, unreleased stays",
         "held 1 5 bob hi\nheld 2 6 bob yo\nreleased 1\nreleased 40\n", stateOf({}, {{2, "bob", "yo", 6}})},
        {"an empty text is a text", "held 3 5 bob \n", stateOf({}, {{3, "bob", "", 5}})},
        {"a torn account", kHash + " alice\n" + kHash.substr(0, 20), stateOf({{"alice", kHash}}), true},
        {"a torn name that reads as another", kHash + " alice\n" + kHash + " ali", stateOf({{"alice", kHash}}), true},
        {"a torn release", "held 1 5 bob hi\nreleas", stateOf({}, {{1, "bob", "hi", 5}}), true},
    };
    for (const Case& c : cases) {
        JournalState state;
        const Replay replay = replayRecords(c.content, state);
        ASSERT_TRUE(replay.ok) << c.name << ": " << replay.error;
        EXPECT_EQ(formatSnapshot(state), formatSnapshot(c.expected)) << c.name;
        EXPECT_EQ(replay.tornTail, c.torn) << c.name;
        EXPECT_EQ(replay.usedBytes, c.content.rfind('\n') + 1) << c.name;
    }

    const std::string broken[] = {"$argon2id$x b\n", kHash + " b%0a\n", kHash + " b%4\n", kHash + " b b\n",
                                  kHash + "\n", "held x 1 bob hi\n", "held 1 1  hi\n", "held 1 1 bob\n",
                                  "released\n", "released 1 2\n"};
    for (const std::string& line : broken) {
        JournalState state;
        const Replay replay = replayRecords(kHash + " alice\n" + line, state);
        EXPECT_FALSE(replay.ok) << line;
        EXPECT_EQ(replay.error.rfind("line 2: ", 0), 0U) << line << replay.error;
    }
}
