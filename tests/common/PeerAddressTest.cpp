#include "common/PeerAddress.h"

#include <gtest/gtest.h>

TEST(PeerAddress, AnIpv4PeerOfADualStackSocketReadsAsItsPlainAddress)
{
    struct Case {
        const char* address;
        const char* plain;
    };
    const Case cases[] = {
        {"::ffff:127.0.0.1", "127.0.0.1"},
        {"::FFFF:10.1.2.3", "10.1.2.3"},
        {"127.0.0.1", "127.0.0.1"},
        {"::1", "::1"},
        {"fe80::ffff:1.2.3.4", "fe80::ffff:1.2.3.4"},
        {"::ffff:1.2.3", "::ffff:1.2.3"},
        {"::ffff:1.2.3.256", "::ffff:1.2.3.256"},
        {"::ffff:1.2.3.4.5", "::ffff:1.2.3.4.5"},
        {"::ffff:1..3.4", "::ffff:1..3.4"},
        {"::ffff:", "::ffff:"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlainAddressText(c.address), c.plain) << c.address;
}
