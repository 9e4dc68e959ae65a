#include "presence/rules/ContactText.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ContactText, FinishEditAppendsALineEndOnlyWhenMissing)
{
    const std::string longText(kEditReadBackLimit + 50, 'x');
    const std::pair<std::string, std::string> rows[] = {
        {"", "\r\n"},
        {"alice", "alice\r\n"},
        {longText, std::string(kEditReadBackLimit, 'x') + "\r\n"},
        {longText + "\n", longText + "\n"},
    };
    for (const auto& [in, finished] : rows) {
        SCOPED_TRACE(in.substr(0, 20));
        EXPECT_EQ(FinishEditText(in), finished);
    }
}

}  // namespace
