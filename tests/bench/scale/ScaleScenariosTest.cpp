#include "ScaleScenarios.h"

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "LoopbackPeer.h"
#include "Sockets.h"
#include "UserAddress.h"

namespace {

std::map<std::string, double> ByName(const Figures& figures)
{
    return {figures.begin(), figures.end()};
}

// The relay program on ports free a moment ago, and a fleet pointed at it.
class ScaleScenariosTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(relay.running());
        fleetOptions.server = Ipv4("127.0.0.1");
        fleetOptions.serverPort = requestPort;
        fleetOptions.notifyPort = notifyPort;
    }
    const std::uint16_t requestPort = FreePort(Ipv4("127.0.0.1"));
    const std::uint16_t notifyPort = FreePort(UserAddress(0));
    const TargetProcess relay{QORNC_BENCH_RELAY,
                              {"--listen", "127.0.0.1", "--port", std::to_string(requestPort), "--notify-port",
                               std::to_string(notifyPort)},
                              "/dev/null", requestPort};
    EventLoop loop;
    FleetOptions fleetOptions;
};

// The whole generator against the relay program: every scenario must see all its traffic come
// back, so that a figure that counts too little or too much fails here before it is published.
TEST_F(ScaleScenariosTest, CountEveryMessageAndAnswerTheRelayDelivers)
{
    fleetOptions.users = 5;
    fleetOptions.loginWindow = 2;
    UserFleet fleet(loop, fleetOptions);
    ASSERT_TRUE(fleet.Listen());
    ScenarioOptions options;
    options.manyHostMessages = 40;
    options.oneHostMessages = 30;
    options.refreshContacts = 12;
    options.latencyRate = 500;
    options.latencySeconds = 0.1;
    options.idleSeconds = 0.1;
    options.boundSeconds = 10;
    ScaleScenarios scenarios(loop, fleet, relay, options);
    scenarios.Login();
    scenarios.MessagesToManyHosts();
    scenarios.MessagesToOneHost();
    scenarios.Refresh();
    scenarios.LatencyAtFixedRate();

    auto figures = ByName(scenarios.figures());
    EXPECT_EQ(figures["logged_in"], 5);
    EXPECT_EQ(figures["login_failures"], 0);
    EXPECT_GT(figures["rss_mib"], 0);
    EXPECT_EQ(figures["many_hosts_delivered"], 40);
    EXPECT_EQ(figures["one_host_delivered"], 30);
    EXPECT_EQ(figures["one_host_out_of_order"], 0);
    EXPECT_EQ(figures["refresh_answers"], 23);
    EXPECT_EQ(figures["latency_sent"], 50);
    EXPECT_EQ(figures["latency_delivered"], 50);
    EXPECT_GT(figures["latency_p50_ms"], 0);
    EXPECT_LE(figures["latency_p50_ms"], figures["latency_p99_ms"]);
    EXPECT_LE(figures["latency_p99_ms"], figures["latency_max_ms"]);
    EXPECT_EQ(fleet.counters().textsPastTheFirst, 0);
    EXPECT_EQ(fleet.counters().linksLost, 0);
}

// New names log in only when the messages are under way, each counted once: the relay takes any
// name, so all of them must come in, and no message may be lost to the fleet's growth.
TEST_F(ScaleScenariosTest, LogTheNewNamesInOnlyWhileTheMessagesRun)
{
    fleetOptions.users = 7;
    fleetOptions.password = "shared";
    UserFleet fleet(loop, fleetOptions);
    ASSERT_TRUE(fleet.Listen());
    ScenarioOptions options;
    options.registrationRate = 400;
    options.registrationSeconds = 0.25;
    options.registerAfterSeconds = 0.05;
    options.boundSeconds = 10;
    ScaleScenarios scenarios(loop, fleet, relay, options);
    scenarios.Login(4);
    EXPECT_EQ(fleet.loggedIn(), 4);
    scenarios.LatencyWhileRegistering(3);

    auto figures = ByName(scenarios.figures());
    EXPECT_EQ(figures["logged_in"], 4);
    EXPECT_EQ(figures["registration_users"], 4);
    EXPECT_EQ(figures["registered"], 3);
    EXPECT_EQ(figures["registration_failures"], 0);
    EXPECT_EQ(figures["registration_sent"], 100);
    EXPECT_EQ(figures["registration_delivered"], 100);
    EXPECT_LE(figures["registering_messages"], 100);
    EXPECT_LE(figures["registering_p99_ms"], figures["registration_window_max_ms"]);
    EXPECT_GT(figures["registration_window_p50_ms"], 0);
    EXPECT_EQ(fleet.loggedIn(), 7);
}

}  // namespace
