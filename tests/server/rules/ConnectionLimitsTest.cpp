#include "ConnectionLimits.h"

#include <gtest/gtest.h>

using namespace qornc::server;

TEST(ConnectionLimits, RoomComesFromTheHostHoldingTheMostConnectionsWithoutALogin)
{
    ConnectionLimits limits(5, 3);
    for (const auto& [id, host] : {std::pair<ConnectionId, const char*>{1, "B"}, {2, "A"}, {3, "A"}, {4, "A"}, {5, "C"}})
        limits.opened(id, host);
    const auto idleButTwo = [](ConnectionId id) { return id != 2; };
    EXPECT_FALSE(limits.decide("A", idleButTwo).admit) << "A is at its own limit";
    const auto decision = limits.decide("D", idleButTwo);
    EXPECT_TRUE(decision.admit && decision.evict == 3u) << "not B's older one, nor A's logged-in 2";
    EXPECT_FALSE(limits.decide("D", [](ConnectionId) { return false; }).admit) << "all logged in";
    limits.closed(3);
    EXPECT_EQ(limits.decide("D", idleButTwo).evict, std::nullopt) << "room without closing one";
}
