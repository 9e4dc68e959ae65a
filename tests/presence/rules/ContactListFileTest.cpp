#include "presence/rules/ContactListFile.h"

#include <string>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace {

std::string Lines(const char* line, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

TEST(ContactListFile, LoadsTheWholeLinesThatFitTheBuffer)
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
