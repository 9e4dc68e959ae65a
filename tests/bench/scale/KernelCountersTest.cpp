#include "KernelCounters.h"

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Sockets.h"

namespace {

TEST(KernelCounters, ReadsTheValueUnderItsName)
{
    const char* names = "TcpExt: SyncookiesSent TW ListenOverflows ListenDrops";
    const char* values = "TcpExt: 0 13 1536 1540";
    EXPECT_EQ(TcpExtCounterIn(names, values, "ListenOverflows"), 1536);
    EXPECT_EQ(TcpExtCounterIn(names, values, "ListenDrops"), 1540);
    EXPECT_EQ(TcpExtCounterIn(names, values, "SyncookiesSent"), 0);
    EXPECT_EQ(TcpExtCounterIn(names, values, "TcpExt:"), -1);
    EXPECT_EQ(TcpExtCounterIn(names, "TcpExt: 0 13", "ListenOverflows"), -1);
    EXPECT_EQ(TcpExtCounterIn(names, values, "Missing"), -1);
}

// The counter the generator reports must move when an accept queue refuses a handshake.
TEST(KernelCounters, ListenOverflowsCountsAFullAcceptQueue)
{
    const long before = TcpExtCounter("ListenOverflows");
    ASSERT_GE(before, 0);
    const UniqueFd listener = ListenTcp(Ipv4("127.0.0.1"), 0, 0);
    std::vector<UniqueFd> callers;
    for (int i = 0; i < 4; ++i)
        callers.push_back(ConnectFrom(Ipv4("0.0.0.0"), Ipv4("127.0.0.1"), LocalPort(listener.get())));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_GT(TcpExtCounter("ListenOverflows"), before);
}

}  // namespace
