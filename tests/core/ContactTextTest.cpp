#include "presence/ContactText.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ContactText, LineEndsAndLines)
{
    struct Row {
        std::string in, crLf;
        std::vector<std::string> lines; // of the CR LF form
    };
    const Row rows[] = {
        {"", "", {}},
        {"alice", "alice", {}},
        {"a\nb\n", "a\r\nb\r\n", {"a", "b"}},
        {"a\r\r\nb", "a\r\n\r\nb", {"a", ""}},
        {"a\rb\r", "a\r\nb\r\n", {"a", "b"}},
        {"Ann Lee\r\n\n", "Ann Lee\r\n\r\n", {"Ann Lee", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(ToCrLf(row.in), row.crLf);
        EXPECT_EQ(SplitLines(ToCrLf(row.in)), row.lines);
    }
}

TEST(ContactText, FinishEditAppendsALineEndOnlyWhenMissing)
{
    const std::string longText(kEditReadBackLimit + 50, 'x');
    const std::pair<std::string, std::string> rows[] = {
        {"", "\r\n"},
        {"alice", "alice\r\n"},
        {"alice\n", "alice\n"},
        {longText, std::string(kEditReadBackLimit, 'x') + "\r\n"},
        {longText + "\n", longText + "\n"},
    };
    for (const auto& [in, finished] : rows) {
        SCOPED_TRACE(in.substr(0, 20));
        EXPECT_EQ(FinishEditText(in), finished);
    }
}

}  // namespace
