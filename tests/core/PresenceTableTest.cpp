#include "presence/PresenceTable.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Change = PresenceTable::Change;

TEST(PresenceTable, HoldsEachExactNameOnce)
{
    PresenceTable table;
    EXPECT_EQ(table.BuildOnlineText(), "");
    EXPECT_EQ(table.ApplyPresence("bob", true), Change::Added);
    EXPECT_EQ(table.ApplyPresence("bob", true), Change::AlreadyOnline);
    EXPECT_EQ(table.ApplyPresence("Bob", true), Change::Added);
    EXPECT_EQ(table.ApplyPresence("bob ", true), Change::Added);
    EXPECT_EQ(table.ApplyPresence("", true), Change::Added);
    EXPECT_EQ(table.ApplyPresence("", true), Change::AlreadyOnline);
    EXPECT_EQ(table.onlineCount(), 4u);
    EXPECT_EQ(table.BuildOnlineText(), "bob\r\nBob\r\nbob \r\n\r\n");
}

TEST(PresenceTable, OfflineFreesOnlyTheNamedEntry)
{
    PresenceTable table;
    table.ApplyPresence("ann", true);
    table.ApplyPresence("bo", true);
    EXPECT_EQ(table.ApplyPresence("b", false), Change::NotListed);
    EXPECT_EQ(table.ApplyPresence("bob", false), Change::NotListed);
    EXPECT_EQ(table.ApplyPresence("bo", false), Change::Removed);
    EXPECT_EQ(table.ApplyPresence("bo", false), Change::NotListed);
    EXPECT_EQ(table.entry(1).online, 0);
    EXPECT_EQ(table.entry(1).name, "");
    EXPECT_EQ(table.BuildOnlineText(), "ann\r\n");
}

TEST(PresenceTable, NewNameTakesTheFirstFreeEntryAndOthersStayPut)
{
    PresenceTable table;
    for (const char* name : {"a", "b", "c", "d"})
        table.ApplyPresence(name, true);
    table.ApplyPresence("b", false);
    table.ApplyPresence("a", false);
    EXPECT_EQ(table.ApplyPresence("e", true), Change::Added);
    EXPECT_EQ(table.entry(0).name, "e");
    EXPECT_EQ(table.entry(1).online, 0);
    EXPECT_EQ(table.entry(2).name, "c");
    EXPECT_EQ(table.BuildOnlineText(), "e\r\nc\r\nd\r\n");
}

TEST(PresenceTable, FullTableStoresNothingNew)
{
    PresenceTable table;
    for (std::size_t i = 0; i < PresenceTable::kSize; ++i)
        ASSERT_EQ(table.ApplyPresence("n" + std::to_string(i), true), Change::Added);
    EXPECT_EQ(table.ApplyPresence("late", true), Change::TableFull);
    EXPECT_EQ(table.ApplyPresence("n1999", true), Change::AlreadyOnline);
    EXPECT_EQ(table.onlineCount(), PresenceTable::kSize);
    EXPECT_EQ(table.ApplyPresence("n7", false), Change::Removed);
    EXPECT_EQ(table.ApplyPresence("late", true), Change::Added);
    EXPECT_EQ(table.entry(7).name, "late");
}

TEST(PresenceTable, LongNamesAreHeldCutAndStillMatch)
{
    PresenceTable table;
    const std::string longName(200, 'z');
    EXPECT_EQ(table.ApplyPresence(longName, true), Change::Added);
    EXPECT_EQ(table.entry(0).name.size(), 127u);
    EXPECT_EQ(table.ApplyPresence(longName, true), Change::AlreadyOnline);
    EXPECT_EQ(table.ApplyPresence(longName, false), Change::Removed);
}

TEST(PresenceTable, PruneFreesNamesNoLongerListed)
{
    PresenceTable table;
    for (const char* name : {"ann", "bob", "cy", "dee"})
        table.ApplyPresence(name, true);
    EXPECT_EQ(table.PruneToContactList({"bob", "zed", "dee", "Ann"}), 2u);
    EXPECT_EQ(table.BuildOnlineText(), "bob\r\ndee\r\n");
    EXPECT_EQ(table.entry(0).online, 0);
    EXPECT_EQ(table.entry(0).name, "");
    EXPECT_EQ(table.PruneToContactList({}), 2u);
    EXPECT_EQ(table.onlineCount(), 0u);
}

}  // namespace
