#include "app/rules/SettingsFiles.h"

#include <string>

#include <gtest/gtest.h>

#include "presence/rules/ContactText.h"
#include "support/TempDir.h"

namespace {

TEST(SettingsFiles, ReadsIdentityValuesAfterEachSpace)
{
    struct Row {
        std::string file;
        int valuesRead;
        std::string userId, password, serverIp;
    };
    const std::string name200(200, 'n');
    const Row rows[] = {
        {"userid bob\r\npassword pw\r\nserverip 127.0.0.2\r\n", 3, "bob", "pw", "127.0.0.2"},
        {"userid Jos\xe9\npassword \xef\xbb\xbfp\xc2\xa0w\nserverip x\n", 3, "Jos\xe9", "\xef\xbb\xbfp\xc2\xa0w", "x"},
        {"userid\nbob pw\nx 127.0.0.3\n", 2, "pw", "127.0.0.3", ""},
        {"userid " + name200 + "\npassword pw\nserverip 123456789012345678901234567\n", 3, name200.substr(0, 127),
         "pw", "12345678901234567890123"},
    };
    const TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.substr(0, 40));
        WriteBytes(dir / "info.cfg", row.file);
        const IdentityFile identity = ReadIdentity(dir / "info.cfg");
        EXPECT_EQ(identity.state, SettingsFileState::Read);
        EXPECT_EQ(identity.valuesRead, row.valuesRead);
        EXPECT_EQ(identity.userId + "|" + identity.password + "|" + identity.serverIp,
                  row.userId + "|" + row.password + "|" + row.serverIp);
    }
}

std::string Lines(const char* line, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

TEST(SettingsFiles, LoadsTheWholeLinesThatFitTheBuffer)
{
    struct Row {
        const char* label;
        std::string file, text;
        bool truncated;
    };
    const Row rows[] = {
        {"exactly full", Lines("abc\r\n", 819), Lines("abc\r\n", 819), false},
        {"one line over", Lines("abc\n", 820), Lines("abc\r\n", 819), true},
        {"a huge file", "a\n" + std::string(1 << 20, 'x'), "a\r\n", true},
    };
    const TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        WriteBytes(dir / "list.cfg", row.file);
        const ContactListFile list = ReadContactList(dir / "list.cfg");
        EXPECT_EQ(list.text, row.text);
        EXPECT_EQ(list.truncated, row.truncated);
    }
    EXPECT_EQ(ContactListFileBytes("a\r\r\nb\rc\n"), "a\r\nbc\r\n");
}

}  // namespace
