#include "UserAddress.h"

#include <arpa/inet.h>

#include <set>

#include <gtest/gtest.h>

#include "Sockets.h"

namespace {

// Two users on one address would look like one host to the server and halve its work.
TEST(UserAddress, GivesEveryUserAnAddressOfItsOwnThatLeadsBack)
{
    std::set<std::uint32_t> taken;
    for (int user = 0; user < kMaxUsers; user += user < 70000 ? 1 : 97) {
        const in_addr address = UserAddress(user);
        const std::uint32_t host = ntohl(address.s_addr);
        ASSERT_EQ(host >> 24, 127u) << user;
        ASSERT_GE(host >> 16 & 0xff, 1u) << "127.0/16 is left to the server: " << user;
        ASSERT_NE(host & 0xff, 0u) << user;
        ASSERT_NE(host & 0xff, 255u) << user;
        ASSERT_TRUE(taken.insert(host).second) << user;
        ASSERT_EQ(UserAt(address), user);
    }
}

TEST(UserAddress, NamesNoUserForAddressesOutsideTheFleet)
{
    for (const char* text : {"127.0.0.1", "127.1.0.1", "127.1.1.0", "127.1.1.251", "127.1.251.1", "10.1.1.1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(UserAt(Ipv4(text)), std::nullopt);
    }
    EXPECT_EQ(DottedText(UserAddress(0)), "127.1.1.1");
    EXPECT_EQ(DottedText(UserAddress(250)), "127.1.2.1");
    EXPECT_EQ(UserName(42), "u00042");
}

}  // namespace
