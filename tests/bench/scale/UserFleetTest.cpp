#include "UserFleet.h"

#include <sys/epoll.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LoopbackPeer.h"
#include "Sockets.h"
#include "UserAddress.h"

namespace {

using namespace std::string_literals;

// Calls the user's notification port from the server's address, as the server does, and writes.
bool Deliver(EventLoop& loop, const UserFleet& fleet, int user, std::uint16_t port, const std::string& bytes)
{
    const long accepted = fleet.counters().connectionsAccepted;
    const UniqueFd server = ConnectFrom(Ipv4("127.0.0.1"), UserAddress(user), port);
    return loop.RunUntil([&] { return fleet.counters().connectionsAccepted == accepted + 1; },
                         BenchClock::now() + std::chrono::seconds(2))
        && WriteAll(server.get(), bytes);
}

// What a server does wrong on delivery must show in the counters, not pass as throughput.
TEST(UserFleet, CountsEveryTextAndEachDeliveryTheClientCouldNotTakeAsSent)
{
    struct Row {
        const char* name;
        std::string bytes;
        std::vector<std::string> delivered;  // the names the texts carried
        long pastTheFirst, withoutNul, overlong;
    };
    const Row rows[] = {
        {"one text", "message u00009 r1s0\0"s, {"u00009"}, 0, 0, 0},
        {"two texts on one connection", "message a r1s1\0message b r1s2\0"s, {"a", "b"}, 1, 0, 0},
        {"text ended by the close alone", "getbuddy true c"s, {"c"}, 0, 1, 0},
        {"longer than a client reads", "message d " + std::string(300, 'x') + "\0"s, {"d"}, 0, 0, 1},
        {"NUL padding after the text", "message e hi\0\0\0\0"s, {"e"}, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EventLoop loop;
        FleetOptions options;
        options.users = 1;
        options.notifyPort = FreePort(UserAddress(0));
        UserFleet fleet(loop, options);
        ASSERT_TRUE(fleet.Listen());
        std::vector<std::string> names;
        fleet.OnDelivery([&](int user, const Delivery& delivery, BenchClock::time_point) {
            EXPECT_EQ(user, 0);
            names.push_back(delivery.name);
        });
        ASSERT_TRUE(Deliver(loop, fleet, 0, options.notifyPort, row.bytes));
        loop.RunUntil([&] { return names.size() >= row.delivered.size() && fleet.counters().textsWithoutNul >= row.withoutNul; },
                      BenchClock::now() + std::chrono::seconds(2));
        loop.RunUntil([] { return false; }, BenchClock::now() + std::chrono::milliseconds(20));
        EXPECT_EQ(names, row.delivered);
        EXPECT_EQ(fleet.counters().deliveries, long(row.delivered.size()));
        EXPECT_EQ(fleet.counters().textsPastTheFirst, row.pastTheFirst);
        EXPECT_EQ(fleet.counters().textsWithoutNul, row.withoutNul);
        EXPECT_EQ(fleet.counters().overlongConnections, row.overlong);
    }
}

// A shared wildcard listener must still tell the users apart by the address they were called at.
TEST(UserFleet, SharedListenerHandsEachDeliveryToTheUserItWasAddressedTo)
{
    EventLoop loop;
    FleetOptions options;
    options.users = 300;
    options.notifyPort = FreePort(Ipv4("0.0.0.0"));
    options.sharedListener = true;
    UserFleet fleet(loop, options);
    ASSERT_TRUE(fleet.Listen());
    std::vector<int> receivers;
    fleet.OnDelivery([&](int user, const Delivery&, BenchClock::time_point) { receivers.push_back(user); });
    const std::vector<int> called{0, 299, 250, 7};
    for (const int user : called)
        ASSERT_TRUE(Deliver(loop, fleet, user, options.notifyPort, "message x r1s1\0"s));
    loop.RunUntil([&] { return receivers.size() == called.size(); }, BenchClock::now() + std::chrono::seconds(2));
    EXPECT_EQ(receivers, called);
}

// A target that ends a user's connection, as a refused login does, must count as a failure and
// let the next user in, not hold the run until its bound.
TEST(UserFleet, CountsALoginWhoseConnectionEndsAsFailed)
{
    EventLoop loop;
    const UniqueFd closer = ListenTcp(Ipv4("127.0.0.1"), 0, 16);
    loop.Watch(closer.get(), EPOLLIN, [&](std::uint32_t) { const UniqueFd refused = AcceptFrom(closer.get()); });
    FleetOptions options;
    options.users = 3;
    options.loginWindow = 1;
    options.server = Ipv4("127.0.0.1");
    options.serverPort = LocalPort(closer.get());
    options.notifyPort = FreePort(UserAddress(0));
    UserFleet fleet(loop, options);
    ASSERT_TRUE(fleet.Listen());
    fleet.StartLogins();
    EXPECT_TRUE(loop.RunUntil([&] { return fleet.loginsSettled(); }, BenchClock::now() + std::chrono::seconds(3)));
    EXPECT_EQ(fleet.loggedIn(), 0);
    EXPECT_EQ(fleet.loginFailures(), 3);
    loop.Forget(closer.get());
}

}  // namespace
