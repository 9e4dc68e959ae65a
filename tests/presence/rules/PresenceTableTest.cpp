#include "presence/rules/PresenceTable.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using Change = PresenceTable::Change;

// Exact bytes name a contact once; going offline frees only that entry; a newcomer takes the
// first free entry and nobody else moves.
TEST(PresenceTable, HoldsEachExactNameOnceAndFreesInPlace)
{
    PresenceTable table;
    for (const char* name : {"bob", "Bob", "bob ", ""})
        EXPECT_EQ(table.ApplyPresence(name, true), Change::Added) << name;
    EXPECT_EQ(table.ApplyPresence("bob", true), Change::AlreadyOnline);
    EXPECT_EQ(table.BuildOnlineText(), "bob\r\nBob\r\nbob \r\n\r\n");
    EXPECT_EQ(table.ApplyPresence("bo", false), Change::NotListed);
    EXPECT_EQ(table.ApplyPresence("Bob", false), Change::Removed);
    EXPECT_EQ(table.ApplyPresence("Bob", false), Change::NotListed);
    EXPECT_EQ(table.ApplyPresence("cy", true), Change::Added);
    EXPECT_EQ(table.entry(1).name, "cy");
    EXPECT_EQ(table.BuildOnlineText(), "bob\r\ncy\r\nbob \r\n\r\n");
    EXPECT_EQ(table.ApplyPresence(std::string(200, 'z'), true), Change::Added);
    EXPECT_EQ(table.entry(4).name, std::string(127, 'z')); // held cut, as its buffer is
    EXPECT_EQ(table.ApplyPresence(std::string(200, 'z'), true), Change::AlreadyOnline);
}

TEST(PresenceTable, PruneFreesNamesNoLongerListed)
{
    PresenceTable table;
    for (const char* name : {"ann", "bob", "cy", "dee"})
        table.ApplyPresence(name, true);
    EXPECT_EQ(table.PruneToContactList({"bob", "zed", "dee", "Ann"}), 2u);
    EXPECT_EQ(table.BuildOnlineText(), "bob\r\ndee\r\n");
    EXPECT_EQ(table.PruneToContactList({}), 2u);
    EXPECT_EQ(table.onlineCount(), 0u);
}

}  // namespace
