// The scale load generator: runs every scenario against the bare relay and then against the
// chat server, each started fresh, and prints one "figure target value" line per result.
//   qornc_bench_load --server PATH --relay PATH --users N [--server-arg ARG]... [--quick]
// Two scenarios of accounts run against the server alone (the relay keeps none), its users
// registered in a state file with argon2id hashes:
//   --scenario registration --state-accounts N [--new-names 30]: messages at a fixed rate among
//     the users while new names register by their first login;
//   --scenario hashed-logins: every user logs in at once.
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
#include "StateFileAccounts.h"
#include "TargetProcess.h"
#include "UserAddress.h"
#include "UserFleet.h"
#include "common/Protocol.h"

namespace {

enum class Scenario { Scale, Registration, HashedLogins };

struct Options {
    Scenario scenario = Scenario::Scale;
    int stateAccounts = 0;  // at least the users
    int newNames = 30;
    int loginWindow = 0;    // 0: the fleet's default, or all at once for hashed logins
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
        } else if (flag == "--scenario") {
            const std::string name = argv[++i];
            if (name != "scale" && name != "registration" && name != "hashed-logins")
                return std::nullopt;
            options.scenario = name == "scale" ? Scenario::Scale
                : name == "registration"      ? Scenario::Registration
                                              : Scenario::HashedLogins;
        } else if (flag == "--state-accounts") {
            options.stateAccounts = std::atoi(argv[++i]);
        } else if (flag == "--new-names") {
            options.newNames = std::atoi(argv[++i]);
        } else if (flag == "--registration-seconds") {
            options.scenarios.registrationSeconds = std::atof(argv[++i]);
        } else if (flag == "--login-window") {
            options.loginWindow = std::atoi(argv[++i]);
        } else {
            return std::nullopt;
        }
    }
    const bool needsRelay = options.scenario == Scenario::Scale;
    if (options.server.empty() || (needsRelay && options.relay.empty()) || options.users < 1
        || options.users + options.newNames > kMaxUsers || options.newNames < 0)
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

// Says on stderr and in the figures why a run could not begin.
bool Started(const TargetProcess& process, const std::string& program, const std::string& target)
{
    if (process.running())
        return true;
    std::fprintf(stderr, "%s did not start listening on 127.0.0.1:%u\n", program.c_str(), kServerPort);
    Print(target, "failed_to_start", 1);
    return false;
}

bool Listening(UserFleet& fleet, const std::string& target)
{
    if (fleet.Listen())
        return true;
    std::fprintf(stderr, "cannot listen on the users' port %u: is another run going?\n", kNotifyPort);
    Print(target, "failed_to_listen", 1);
    return false;
}

void Measure(const Options& options, const std::string& target, const std::string& program,
             const std::vector<std::string>& arguments, bool sharedListener)
{
    const long overflowsBefore = TcpExtCounter("ListenOverflows");
    const TargetProcess process(program, arguments, options.workDir + "/" + target + ".log", kServerPort);
    if (!Started(process, program, target))
        return;
    EventLoop loop;
    FleetOptions fleetOptions;
    fleetOptions.users = options.users;
    fleetOptions.server.s_addr = htonl(INADDR_LOOPBACK);
    fleetOptions.sharedListener = sharedListener;
    UserFleet fleet(loop, fleetOptions);
    if (!Listening(fleet, target))
        return;
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

// The state file of the accounts scenarios: the fleet's first `users` names and as many more
// as make up `total`, all with one hash of `password`.
std::optional<std::string> WriteStateFile(const Options& options, int users, int total, const std::string& password)
{
    const std::optional<std::string> hash = HashPassword(password);
    if (!hash)
        return std::nullopt;
    std::vector<std::string> names;
    names.reserve(std::size_t(std::max(users, total)));
    for (int user = 0; user < users; ++user)
        names.push_back(UserName(user));
    // Names no user of the fleet has: the fleet's are "u" and digits.
    for (int other = users; other < total; ++other)
        names.push_back("a" + std::to_string(other));
    const std::string path = options.workDir + "/state";
    if (!WriteStateAccounts(path, names, *hash))
        return std::nullopt;
    return path;
}

// Lines of the server's log that tell a refusal, as it writes them: "refused WHAT: WHY".
long RefusalsLogged(const std::string& logPath)
{
    std::ifstream log(logPath);
    long refusals = 0;
    for (std::string line; std::getline(log, line);)
        refusals += line.find("refused ") != std::string::npos ? 1 : 0;
    return refusals;
}

void MeasureAccounts(const Options& options, bool sharedListener)
{
    const std::string target = "server";
    const std::string password = "campus-password";
    const bool registering = options.scenario == Scenario::Registration;
    const int loggedInFirst = options.users;
    const int fleetUsers = options.users + (registering ? options.newNames : 0);
    const auto statePath = WriteStateFile(options, loggedInFirst, std::max(options.stateAccounts, loggedInFirst), password);
    if (!statePath) {
        std::fprintf(stderr, "cannot write the state file in %s\n", options.workDir.c_str());
        Print(target, "failed_to_start", 1);
        return;
    }
    Print(target, "state_accounts", std::max(options.stateAccounts, loggedInFirst));
    const std::string logPath = options.workDir + "/" + target + ".log";
    const long overflowsBefore = TcpExtCounter("ListenOverflows");
    std::vector<std::string> arguments{"--listen", "127.0.0.1", "--state-file", *statePath, "--max-connections",
                                       std::to_string(fleetUsers + 64)};
    arguments.insert(arguments.end(), options.serverArguments.begin(), options.serverArguments.end());
    Figures figures;
    {
        const TargetProcess process(options.server, arguments, logPath, kServerPort);
        if (!Started(process, options.server, target))
            return;
        EventLoop loop;
        FleetOptions fleetOptions;
        fleetOptions.users = fleetUsers;
        fleetOptions.server.s_addr = htonl(INADDR_LOOPBACK);
        fleetOptions.sharedListener = sharedListener;
        fleetOptions.password = password;
        if (options.loginWindow > 0 || !registering)
            fleetOptions.loginWindow = options.loginWindow > 0 ? options.loginWindow : fleetUsers;
        UserFleet fleet(loop, fleetOptions);
        if (!Listening(fleet, target))
            return;
        ScaleScenarios scenarios(loop, fleet, process, options.scenarios);
        scenarios.Login(loggedInFirst);
        if (registering)
            scenarios.LatencyWhileRegistering(options.newNames);
        figures = scenarios.figures();
        Print(target, "listen_overflows", double(TcpExtCounter("ListenOverflows") - overflowsBefore));
    }  // the server stops here and writes what it still holds
    for (const auto& [figure, value] : figures)
        Print(target, figure, value);
    Print(target, "refusals_logged", double(RefusalsLogged(logPath)));
    if (!registering)
        return;
    const auto names = ReadStateAccounts(*statePath);
    int kept = 0;
    for (int user = loggedInFirst; names && user < fleetUsers; ++user)
        kept += names->count(UserName(user)) > 0 ? 1 : 0;
    Print(target, "registered_in_state_file", kept);
}

}  // namespace

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN);
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: qornc_bench_load --server PATH --relay PATH --users N [--work DIR]"
                             " [--server-arg ARG]... [--bound-seconds S] [--quick]\n"
                             "       [--scenario scale|registration|hashed-logins] [--state-accounts N] [--new-names N]"
                             " [--registration-seconds S] [--login-window N]\n");
        return 2;
    }
    // The targets inherit the raised limit, which they need as much as the users do.
    const int fileLimit = RaiseFileLimit();
    const int newNames = options->scenario == Scenario::Registration ? options->newNames : 0;
    constexpr int kSpareDescriptors = 512;
    const bool sharedListener = 2 * (options->users + newNames) + kSpareDescriptors > fileLimit;
    std::printf("users all %d\nfile_limit all %d\nshared_listener all %d\n", options->users, fileLimit,
                sharedListener ? 1 : 0);
    if (options->scenario != Scenario::Scale) {
        MeasureAccounts(*options, sharedListener);
        return 0;
    }
    Measure(*options, "relay", options->relay, {"--listen", "127.0.0.1"}, sharedListener);
    std::vector<std::string> serverArguments{"--listen", "127.0.0.1", "--accounts", WriteAccounts(*options),
                                             "--max-connections", std::to_string(options->users + 64)};
    serverArguments.insert(serverArguments.end(), options->serverArguments.begin(), options->serverArguments.end());
    Measure(*options, "server", options->server, serverArguments, sharedListener);
    return 0;
}
