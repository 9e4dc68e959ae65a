#include "app/SettingsFiles.h"

#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "presence/ContactText.h"

namespace {

struct IdentityRow {
    const char* label;
    std::string file;
    int valuesRead;
    bool cut;
    std::string userId;
    std::string password;
    std::string serverIp;
};

TEST(SettingsFiles, ReadsIdentityValuesAfterEachSpace)
{
    const std::string name200(200, 'n');
    const IdentityRow rows[] = {
        {"CR LF", "userid bob\r\npassword pw\r\nserverip 10.0.0.1\r\n", 3, false, "bob", "pw", "10.0.0.1"},
        {"bare LF", "userid bob\npassword pw\nserverip 10.0.0.1\n", 3, false, "bob", "pw", "10.0.0.1"},
        {"values with spaces", "userid Ann Lee\npassword a b \nserverip x\n", 3, false, "Ann Lee", "a b ", "x"},
        {"foreign key words", "name bob\nsecret pw\nhost 1.2.3.4\n", 3, false, "bob", "pw", "1.2.3.4"},
        {"no final line end", "userid bob\npassword pw\nserverip 1.2.3.4", 3, false, "bob", "pw", "1.2.3.4"},
        {"empty value", "userid \npassword pw\nserverip x\n", 3, false, "", "pw", "x"},
        {"third line missing", "userid bob\r\npassword pw\r\n", 2, false, "bob", "pw", ""},
        {"no space left", "userid bob\npasswordpw\nserverip", 1, false, "bob", "", ""},
        {"line without space", "userid\nbob pw\nx 1.1.1.1\n", 2, false, "pw", "1.1.1.1", ""},
        {"empty file", "", 0, false, "", "", ""},
        {"over-long values",
         "userid " + name200 + "\r\npassword pw\r\nserverip 123456789012345678901234567\r\n", 3, true,
         name200.substr(0, 127), "pw", "12345678901234567890123"},
        {"value at capacity", "userid bob\npassword pw\nserverip 12345678901234567890123\n", 3, false, "bob", "pw",
         "12345678901234567890123"},
    };
    const TempDir dir;
    for (const IdentityRow& row : rows) {
        SCOPED_TRACE(row.label);
        WriteBytes(dir / "info.cfg", row.file);
        const IdentityFile identity = ReadIdentity(dir / "info.cfg");
        EXPECT_TRUE(identity.opened);
        EXPECT_EQ(identity.valuesRead, row.valuesRead);
        EXPECT_EQ(identity.cut, row.cut);
        EXPECT_EQ(identity.userId, row.userId);
        EXPECT_EQ(identity.password, row.password);
        EXPECT_EQ(identity.serverIp, row.serverIp);
    }
}

TEST(SettingsFiles, MissingFilesAreReportedAsNotOpened)
{
    const TempDir dir;
    EXPECT_FALSE(ReadIdentity(dir / "info.cfg").opened);
    EXPECT_FALSE(ReadContactList(dir / "list.cfg").opened);
}

TEST(SettingsFiles, WritesIdentityWithCrLfAndPrivateMode)
{
    const TempDir dir;
    const auto file = dir / "info.cfg";
    WriteBytes(file, "old");
    std::filesystem::permissions(file, std::filesystem::perms(0644));
    ASSERT_TRUE(WriteIdentity(file, "Ann_Lee", "p w", "10.0.0.1"));
    EXPECT_EQ(ReadBytes(file), "userid Ann_Lee\r\npassword p w\r\nserverip 10.0.0.1\r\n");
    EXPECT_EQ(ModeOf(file), 0600u);
    const IdentityFile back = ReadIdentity(file);
    EXPECT_EQ(back.valuesRead, 3);
    EXPECT_EQ(back.password, "p w");
}

struct ListRow {
    const char* label;
    std::string file;
    std::string text;
    bool truncated;
};

std::string Lines(const char* line, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

TEST(SettingsFiles, LoadsContactListAsCrLfWithinItsBuffer)
{
    const ListRow rows[] = {
        {"bare LF", "alice\nbob\n", "alice\r\nbob\r\n", false},
        {"CR LF", "alice\r\nbob\r\n", "alice\r\nbob\r\n", false},
        {"unended last line", "alice\r\nbob", "alice\r\nbob", false},
        {"exactly full", Lines("abc\r\n", 819), Lines("abc\r\n", 819), false},
        {"full only once in CR LF", Lines("abc\n", 819), Lines("abc\r\n", 819), false},
        {"one line over", Lines("abc\n", 820), Lines("abc\r\n", 819), true},
        {"line ending one byte past the buffer", "ab\r\n" + std::string(4090, 'x') + "\r\n", "ab\r\n", true},
        {"over-long unended tail", Lines("abc\r\n", 818) + "abcdefgh", Lines("abc\r\n", 818), true},
    };
    const TempDir dir;
    for (const ListRow& row : rows) {
        SCOPED_TRACE(row.label);
        WriteBytes(dir / "list.cfg", row.file);
        const ContactListFile list = ReadContactList(dir / "list.cfg");
        EXPECT_TRUE(list.opened);
        EXPECT_EQ(list.text, row.text);
        EXPECT_EQ(list.truncated, row.truncated);
        EXPECT_LE(list.text.size(), kContactListMaxLength);
    }
}

TEST(SettingsFiles, WritesContactListWithSingleCrLfLineEnds)
{
    const std::pair<const char*, const char*> rows[] = {
        {"alice\r\nbob\r\n", "alice\r\nbob\r\n"}, {"alice\nbob", "alice\r\nbob"}, {"a\r\r\nb\rc\n", "a\r\nbc\r\n"}, {"", ""}};
    const TempDir dir;
    for (const auto& [text, disk] : rows) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(WriteContactList(dir / "list.cfg", text));
        EXPECT_EQ(ReadBytes(dir / "list.cfg"), disk);
    }
}

TEST(SettingsFiles, ContactListModeIsKeptOrReadable)
{
    const TempDir dir;
    ASSERT_TRUE(WriteContactList(dir / "new.cfg", "a\n"));
    EXPECT_EQ(ModeOf(dir / "new.cfg"), 0644u);
    WriteBytes(dir / "old.cfg", "x\r\n");
    std::filesystem::permissions(dir / "old.cfg", std::filesystem::perms(0640));
    ASSERT_TRUE(WriteContactList(dir / "old.cfg", "a\n"));
    EXPECT_EQ(ModeOf(dir / "old.cfg"), 0640u);
}

}  // namespace
