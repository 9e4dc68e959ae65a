#include "CommandLine.h"

#include <gtest/gtest.h>

using namespace qornc::server;

// The defaults follow the machine: ten thousand users fit where the descriptors and memory allow
// them, and a small machine gets no more than it can hold.
TEST(CommandLine, DefaultsFollowTheDescriptorLimitAndTheMemory)
{
    constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
    struct Case {
        const char* name;
        MachineLimits machine;
        std::size_t connections, deliveries, accounts, queued;
    };
    const Case cases[] = {
        {"a small VM with systemd's limit", {524'288, 2 * kGiB}, 32'768, 131'056, 524'288, 524'288},
        {"a desktop shell's hard limit", {20'000, 24 * kGiB}, 14'952, 4'984, 6'291'456, 6'291'456},
        {"the bare default", {1'024, 1 * kGiB}, 720, 240, 262'144, 262'144},
        {"almost nothing", {100, kGiB / 1024}, 16, 16, 100'000, 100'000},
    };
    for (const Case& c : cases) {
        const ServerOptions options = parseCommandLine({}, c.machine).options;
        EXPECT_EQ(options.server.maxConnections, c.connections) << c.name;
        EXPECT_EQ(options.server.dispatch.maxInFlight, c.deliveries) << c.name;
        EXPECT_EQ(options.server.maxQueuedChecks, c.connections) << c.name;
        EXPECT_EQ(options.maxAccounts, c.accounts) << c.name;
        EXPECT_EQ(options.server.dispatch.maxQueued, c.queued) << c.name;
    }
    // An option given wins over what is derived.
    const auto given = parseCommandLine({"--max-connections=50", "--max-queued-checks", "7"}, {20'000, kGiB});
    EXPECT_EQ(given.options.server.maxConnections, 50u);
    EXPECT_EQ(given.options.server.maxQueuedChecks, 7u);
}
