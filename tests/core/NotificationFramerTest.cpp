#include "net/NotificationFramer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/Protocol.h"

namespace {

using Texts = std::vector<std::string>;

std::string Nul(std::size_t count = 1)
{
    return std::string(count, '\0');
}

void Append(Texts& to, const Texts& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

TEST(NotificationFramer, YieldsTheSameNotificationsWhereverTheReadIsSplit)
{
    const std::string stream = "message bob hi there" + Nul(20) + "getbuddy true Ann Lee" + Nul() + "set_mode" + Nul();
    const Texts expected = {"message bob hi there", "getbuddy true Ann Lee", "set_mode"};
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        SCOPED_TRACE(split);
        NotificationFramer framer;
        Texts got = framer.Feed(std::string_view(stream).substr(0, split));
        Append(got, framer.Feed(std::string_view(stream).substr(split)));
        EXPECT_EQ(got, expected);
        EXPECT_EQ(framer.pending(), 0u);
    }
}

TEST(NotificationFramer, PaddingAloneYieldsNothing)
{
    NotificationFramer framer;
    EXPECT_TRUE(framer.Feed(Nul(kNotifyReadSize)).empty());
    EXPECT_TRUE(framer.Feed(Nul(3)).empty());
    EXPECT_EQ(framer.pending(), 0u);
}

TEST(NotificationFramer, KeepsAFullReadWithItsNulWhole)
{
    const std::string longest(kNotifyReadSize - 1, 'm');
    NotificationFramer framer;
    EXPECT_EQ(framer.Feed(longest + Nul() + "getdata" + Nul()), (Texts{longest, "getdata"}));
}

TEST(NotificationFramer, CutsAnOverlongTextAndResynchronisesOnTheNextNul)
{
    const std::string overlong = std::string(kNotifyReadSize - 1, 'a') + "message bob tail";
    const std::string stream = overlong + Nul() + "set_mode" + Nul();
    for (std::size_t split = 0; split <= stream.size(); split += 7) {
        SCOPED_TRACE(split);
        NotificationFramer framer;
        Texts got = framer.Feed(std::string_view(stream).substr(0, split));
        Append(got, framer.Feed(std::string_view(stream).substr(split)));
        EXPECT_EQ(got, (Texts{std::string(kNotifyReadSize - 1, 'a'), "set_mode"}));
    }
}

TEST(NotificationFramer, PendingStaysBoundedWithoutNuls)
{
    NotificationFramer framer;
    Texts got;
    for (int i = 0; i < 100; ++i) {
        Append(got, framer.Feed(std::string(1000, 'x')));
        EXPECT_LT(framer.pending(), kNotifyReadSize);
    }
    EXPECT_EQ(got, (Texts{std::string(kNotifyReadSize - 1, 'x')}));
}

}  // namespace
