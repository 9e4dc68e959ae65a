// The generator's pure counting rules: a text it misreads, a rank it picks wrong or two users on
// one address would skew every published figure without a sound.
#include <arpa/inet.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "DeliveryText.h"
#include "KernelCounters.h"
#include "OrderCheck.h"
#include "Percentiles.h"
#include "Sockets.h"
#include "UserAddress.h"

namespace {

TEST(CountingRules, ReadsWhichMessageOrAnswerArrived)
{
    struct Row {
        std::string text;
        DeliveryKind kind;
        std::string who;
        bool online, ours;
        std::uint32_t run, sequence;
    };
    const Row rows[] = {
        {"message u00007 " + SequencedText(3, 1234, 40), DeliveryKind::Message, "u00007", false, true, 3, 1234},
        {"message u00007 r12s0", DeliveryKind::Message, "u00007", false, true, 12, 0},
        {"message u00007 r1s2x", DeliveryKind::Message, "u00007", false, false, 0, 0},
        {"message u00007 r1 s2", DeliveryKind::Message, "u00007", false, false, 0, 0},
        {"getbuddymessage u1 r2s3", DeliveryKind::Message, "u1", false, true, 2, 3},
        {"getbuddy true u00001", DeliveryKind::GetBuddy, "u00001", true, false, 0, 0},
        {"getbuddy false u02000", DeliveryKind::GetBuddy, "u02000", false, false, 0, 0},
        {"getbuddy TRUE u1", DeliveryKind::GetBuddy, "u1", false, false, 0, 0},
        {"hello u1 r1s1", DeliveryKind::Other, "", false, false, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Delivery delivery = ReadDelivery(row.text);
        EXPECT_EQ(delivery.kind, row.kind);
        EXPECT_EQ(delivery.name, row.who);
        EXPECT_EQ(delivery.online, row.online);
        ASSERT_EQ(delivery.run.has_value(), row.ours);
        if (row.ours) {
            EXPECT_EQ(std::pair(*delivery.run, delivery.sequence), std::pair(row.run, row.sequence));
        }
    }
    EXPECT_EQ(SequencedText(1, 2, 10), "r1s2 xxxxx");
    EXPECT_EQ(SequencedText(123, 45678, 3), "r123s45678");
}

TEST(CountingRules, TakesTheNearestRank)
{
    std::vector<double> oneToHundred;
    for (int i = 100; i >= 1; --i)  // descending: the input need not be sorted
        oneToHundred.push_back(i);
    std::vector<double> oneOutlier(99, 1.0);
    oneOutlier.push_back(500);
    std::vector<double> twoOutliers = oneOutlier;
    twoOutliers.front() = 600;
    const std::tuple<std::vector<double>, double, double> rows[] = {
        {oneToHundred, 50, 50}, {oneToHundred, 99, 99}, {oneToHundred, 0, 1}, {oneToHundred, 100, 100},
        {{7, 3}, 50, 3}, {{1, 2, 3}, 99, 3}, {oneOutlier, 99, 1}, {twoOutliers, 99, 500}, {{}, 99, 0},
    };
    for (const auto& [samples, percent, expected] : rows)
        EXPECT_DOUBLE_EQ(Percentile(samples, percent), expected) << "p" << percent << " of " << samples.size();
}

TEST(CountingRules, JudgesOrderByTheConnectionsNotByArrival)
{
    struct Arrival {
        std::string pair;
        std::uint32_t sequence;
        long connection;
    };
    const std::pair<std::vector<Arrival>, long> rows[] = {
        {{{"a b", 2, 2}, {"a b", 1, 1}}, 0},  // the later connection read first
        {{{"a b", 2, 1}, {"a b", 1, 2}}, 1},
        {{{"a b", 1, 2}, {"a b", 2, 1}}, 1},
        {{{"a b", 5, 1}, {"c b", 1, 2}, {"a c", 1, 3}}, 0},  // other pairs do not matter
        {{{"a b", 1, 1}, {"a b", 3, 2}, {"a b", 2, 3}, {"a b", 4, 4}}, 1},
    };
    for (const auto& [arrivals, outOfOrder] : rows) {
        OrderCheck check;
        for (const Arrival& arrival : arrivals)
            check.Take(arrival.pair, arrival.sequence, arrival.connection);
        EXPECT_EQ(check.outOfOrder(), outOfOrder) << arrivals.size() << " arrivals from " << arrivals[0].sequence;
    }
}

TEST(CountingRules, GivesEveryUserAnAddressOfItsOwnThatLeadsBack)
{
    std::set<std::uint32_t> taken;
    for (int user = 0; user < kMaxUsers; user += user < 70000 ? 1 : 97) {
        const in_addr address = UserAddress(user);
        const std::uint32_t host = ntohl(address.s_addr);
        ASSERT_EQ(host >> 24, 127u) << user;
        ASSERT_GE(host >> 16 & 0xff, 1u) << "127.0/16 is left to the server: " << user;
        ASSERT_TRUE((host & 0xff) != 0 && (host & 0xff) != 255) << user;
        ASSERT_TRUE(taken.insert(host).second) << user;
        ASSERT_EQ(UserAt(address), user);
    }
    for (const char* text : {"127.0.0.1", "127.1.0.1", "127.1.1.0", "127.1.1.251", "127.1.251.1", "10.1.1.1"})
        EXPECT_EQ(UserAt(Ipv4(text)), std::nullopt) << text;
    EXPECT_EQ(DottedText(UserAddress(250)), "127.1.2.1");
    EXPECT_EQ(UserName(42), "u00042");
}

TEST(CountingRules, ReadsTheKernelCounterUnderItsName)
{
    const char* names = "TcpExt: SyncookiesSent TW ListenOverflows ListenDrops";
    const char* values = "TcpExt: 0 13 1536 1540";
    EXPECT_EQ(TcpExtCounterIn(names, values, "ListenOverflows"), 1536);
    EXPECT_EQ(TcpExtCounterIn(names, values, "ListenDrops"), 1540);
    EXPECT_EQ(TcpExtCounterIn(names, values, "SyncookiesSent"), 0);
    EXPECT_EQ(TcpExtCounterIn(names, values, "TcpExt:"), -1);
    EXPECT_EQ(TcpExtCounterIn(names, "TcpExt: 0 13", "ListenOverflows"), -1);
    EXPECT_EQ(TcpExtCounterIn(names, values, "Missing"), -1);
    // The counter the generator reports must move when an accept queue refuses a handshake.
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
