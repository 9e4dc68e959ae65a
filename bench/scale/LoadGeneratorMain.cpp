// The scale load generator: runs every scenario against the bare relay and then against the
// chat server, each started fresh, and prints one "figure target value" line per result.
//   qornc_bench_load --server PATH --relay PATH --users N [--server-arg ARG]... [--quick]
// Meant to run inside a network namespace of its own (scripts/bench.sh makes one): the users
// take 127.1.0.0/16 and up, the targets listen on 127.0.0.1:22001.
#include <arpa/inet.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "EventLoop.h"
#include "KernelCounters.h"
#include "ScaleScenarios.h"
#include "Sockets.h"
#include "TargetProcess.h"
#include "UserAddress.h"
#include "UserFleet.h"
#include "common/Protocol.h"

namespace {

struct Options {
    std::string server;
    std::string relay;
    std::string workDir = "/tmp";
    std::vector<std::string> serverArguments;
    int users = 100;
    ScenarioOptions scenarios;
};

std::optional<Options> ParseOptions(int argc, char* argv[])
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--quick") {
            options.scenarios.idleSeconds = 3;
            options.scenarios.manyHostMessages = 2000;
            options.scenarios.oneHostMessages = 1000;
            options.scenarios.latencySeconds = 1;
            options.scenarios.boundSeconds = 20;
        } else if (!hasValue) {
            return std::nullopt;
        } else if (flag == "--server") {
            options.server = argv[++i];
        } else if (flag == "--relay") {
            options.relay = argv[++i];
        } else if (flag == "--work") {
            options.workDir = argv[++i];
        } else if (flag == "--server-arg") {
            options.serverArguments.emplace_back(argv[++i]);
        } else if (flag == "--users") {
            options.users = std::atoi(argv[++i]);
        } else if (flag == "--bound-seconds") {
            options.scenarios.boundSeconds = std::atof(argv[++i]);
        } else {
            return std::nullopt;
        }
    }
    if (options.server.empty() || options.relay.empty() || options.users < 1 || options.users > kMaxUsers)
        return std::nullopt;
    return options;
}

// Plain passwords: the login figure is the server's own work, not its password hashing.
std::string WriteAccounts(const Options& options)
{
    const std::string path = options.workDir + "/accounts";
    std::ofstream accounts(path, std::ios::trunc);
    for (int user = 0; user < options.users; ++user)
        accounts << UserName(user) << ' ' << UserPassword(user) << '\n';
    return path;
}

void Print(const std::string& target, const std::string& figure, double value)
{
    std::printf("%s %s %.6f\n", figure.c_str(), target.c_str(), value);
    std::fflush(stdout);
}

void Measure(const Options& options, const std::string& target, const std::string& program,
             const std::vector<std::string>& arguments, bool sharedListener)
{
    const long overflowsBefore = TcpExtCounter("ListenOverflows");
    const TargetProcess process(program, arguments, options.workDir + "/" + target + ".log", kServerPort);
    if (!process.running()) {
        std::fprintf(stderr, "%s did not start listening on 127.0.0.1:%u\n", program.c_str(), kServerPort);
        Print(target, "failed_to_start", 1);
        return;
    }
    EventLoop loop;
    FleetOptions fleetOptions;
    fleetOptions.users = options.users;
    fleetOptions.server.s_addr = htonl(INADDR_LOOPBACK);
    fleetOptions.sharedListener = sharedListener;
    UserFleet fleet(loop, fleetOptions);
    if (!fleet.Listen()) {
        std::fprintf(stderr, "cannot listen on the users' port %u: is another run going?\n", kNotifyPort);
        Print(target, "failed_to_listen", 1);
        return;
    }
    ScaleScenarios scenarios(loop, fleet, process, options.scenarios);
    scenarios.Login();
    scenarios.Idle();
    scenarios.MessagesToManyHosts();
    scenarios.MessagesToOneHost();
    scenarios.Refresh();
    scenarios.LatencyAtFixedRate();
    for (const auto& [figure, value] : scenarios.figures())
        Print(target, figure, value);
    const FleetCounters& counters = fleet.counters();
    Print(target, "links_lost", double(counters.linksLost));
    Print(target, "texts_past_the_first", double(counters.textsPastTheFirst));
    Print(target, "overlong_deliveries", double(counters.overlongConnections));
    Print(target, "texts_without_nul", double(counters.textsWithoutNul));
    // Of the target's request port and the users' listeners alike: none should overflow.
    Print(target, "listen_overflows", double(TcpExtCounter("ListenOverflows") - overflowsBefore));
}

}  // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN);
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: qornc_bench_load --server PATH --relay PATH --users N [--work DIR]"
                             " [--server-arg ARG]... [--bound-seconds S] [--quick]\n");
        return 2;
    }
    // The targets inherit the raised limit, which they need as much as the users do.
    const int fileLimit = RaiseFileLimit();
    constexpr int kSpareDescriptors = 512;
    const bool sharedListener = 2 * options->users + kSpareDescriptors > fileLimit;
    std::printf("users all %d\nfile_limit all %d\nshared_listener all %d\n", options->users, fileLimit,
                sharedListener ? 1 : 0);
    Measure(*options, "relay", options->relay, {"--listen", "127.0.0.1"}, sharedListener);
    std::vector<std::string> serverArguments{"--listen", "127.0.0.1", "--accounts", WriteAccounts(*options),
                                             "--max-connections", std::to_string(options->users + 64)};
    serverArguments.insert(serverArguments.end(), options->serverArguments.begin(), options->serverArguments.end());
    Measure(*options, "server", options->server, serverArguments, sharedListener);
    return 0;
}
