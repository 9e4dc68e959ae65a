#include "common/NotificationFramer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/Protocol.h"

namespace {

using Texts = std::vector<std::string>;

// Fed in two reads split at every position, then the connection closes.
Texts FramedAtEverySplit(const std::string& stream, const Texts& expected)
{
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        NotificationFramer framer;
        Texts got = framer.Feed(std::string_view(stream).substr(0, split));
        for (std::string& text : framer.Feed(std::string_view(stream).substr(split)))
            got.push_back(std::move(text));
        if (std::string last = framer.Finish(); !last.empty())
            got.push_back(std::move(last));
        if (got != expected)
            return got;
    }
    return expected;
}

TEST(NotificationFramer, YieldsTheSameNotificationsWhereverTheReadIsSplit)
{
    const std::string nul(1, '\0');
    const std::string full(kNotifyReadSize - 1, 'a');
    const std::pair<std::string, Texts> rows[] = {
        {"message bob hi" + std::string(20, '\0') + "getbuddy true Ann Lee" + nul + "set_mode" + nul,
         {"message bob hi", "getbuddy true Ann Lee", "set_mode"}},
        {std::string(300, '\0'), {}},
        {full + nul + "getdata" + nul, {full, "getdata"}},
        {full + "message bob tail" + nul + "set_mode" + nul, {full, "set_mode"}},
        {"getdata" + nul + "message bob closed before its NUL", {"getdata", "message bob closed before its NUL"}},
        {full + "overlong tail closed before its NUL", {full}},
        {std::string(5000, 'a'), {full}},
    };
    for (const auto& [stream, expected] : rows) {
        SCOPED_TRACE(stream.substr(0, 30));
        EXPECT_EQ(FramedAtEverySplit(stream, expected), expected);
    }
}

}  // namespace
