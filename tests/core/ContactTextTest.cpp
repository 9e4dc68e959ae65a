#include "presence/ContactText.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct TextRow {
    std::string in;
    std::string crLf;
    std::string noCr;
};

TEST(ContactText, LineEndConversions)
{
    const TextRow rows[] = {
        {"", "", ""},
        {"a\nb\n", "a\r\nb\r\n", "a\nb\n"},
        {"a\r\nb\r\n", "a\r\nb\r\n", "a\nb\n"},
        {"a\r\r\nb", "a\r\nb", "a\nb"},
        {"a\rb\n", "ab\r\n", "ab\n"},
        {"\n\n", "\r\n\r\n", "\n\n"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(ToCrLf(row.in), row.crLf);
        EXPECT_EQ(DropCarriageReturns(row.in), row.noCr);
    }
}

struct SplitRow {
    std::string in;
    std::vector<std::string> lines;
};

TEST(ContactText, SplitLinesKeepsOnlyEndedLines)
{
    const SplitRow rows[] = {
        {"", {}},
        {"alice", {}},
        {"alice\r\nbob\r\n", {"alice", "bob"}},
        {"alice\nbob", {"alice"}},
        {"\nx\n", {"", "x"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"Ann Lee\r\n", {"Ann Lee"}},
    };
    for (const SplitRow& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(SplitLines(row.in), row.lines);
    }
}

TEST(ContactText, FinishEditAppendsALineEndOnlyWhenMissing)
{
    const std::string longText(kEditReadBackLimit + 50, 'x');
    const std::string longEnded = longText + "\n";
    const TextRow rows[] = {
        {"", "\r\n", ""},
        {"alice", "alice\r\n", ""},
        {"alice\r\n", "alice\r\n", ""},
        {"alice\n", "alice\n", ""},
        {"alice\r", "alice\r\r\n", ""},
        {longText, std::string(kEditReadBackLimit, 'x') + "\r\n", ""},
        {longEnded, longEnded, ""},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.in.substr(0, 20));
        EXPECT_EQ(FinishEditText(row.in), row.crLf);
    }
}

}  // namespace
