#include "CommandLine.h"

#include <algorithm>
#include <arpa/inet.h>
#include <charconv>
#include <optional>
#include <string_view>

namespace qornc::server {

namespace {

// Descriptors kept for the log, the state file, the hashing threads and the like.
constexpr std::size_t kReservedDescriptors = 64;
// What one connection may cost at most, with the kernel's buffers: the memory bound on connections.
constexpr std::uint64_t kBytesPerConnection = 64 * 1024;
// Generous per account or queued text, so that a fraction of memory bounds them.
constexpr std::uint64_t kBytesPerAccount = 4 * 1024;
constexpr std::uint64_t kBytesPerQueued = 4 * 1024;
constexpr std::uint64_t kBytesPerHeld = 8 * 1024;

std::size_t atLeast(std::size_t floor, std::uint64_t value)
{
    return std::max<std::size_t>(floor, static_cast<std::size_t>(value));
}

int milliseconds(long long seconds)
{
    return static_cast<int>(seconds * 1000);
}

struct NumberOption {
    const char* name;
    long long lowest;
    long long highest;
    void (*apply)(ServerOptions&, long long);
};

std::size_t count(long long v)
{
    return static_cast<std::size_t>(v);
}

// Every number, with the range that makes sense for it and where it goes.
constexpr NumberOption kNumbers[] = {
    {"port", 0, 65535, [](ServerOptions& o, long long v) { o.server.port = static_cast<std::uint16_t>(v); }},
    {"notify-port", 1, 65535, [](ServerOptions& o, long long v) { o.server.notifyPort = static_cast<std::uint16_t>(v); }},
    {"max-connections", 1, 10'000'000, [](ServerOptions& o, long long v) { o.server.maxConnections = count(v); }},
    {"max-connections-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.server.maxConnectionsPerHost = count(v); }},
    {"login-timeout", 1, 86'400, [](ServerOptions& o, long long v) { o.server.loginTimeoutMs = milliseconds(v); }},
    {"max-accounts", 1, 100'000'000, [](ServerOptions& o, long long v) { o.maxAccounts = count(v); }},
    {"max-registrations-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.router.registrationsPerHost = count(v); }},
    {"registration-window", 1, 31'536'000,
     [](ServerOptions& o, long long v) { o.router.registrationWindow = std::chrono::seconds(v); }},
    {"max-password-checks-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.router.passwordChecksPerHost = count(v); }},
    {"max-queued-checks", 1, 10'000'000, [](ServerOptions& o, long long v) { o.server.maxQueuedChecks = count(v); }},
    {"hash-threads", 1, 1024, [](ServerOptions& o, long long v) { o.server.hashThreads = count(v); }},
    {"max-login-backoff", 1, 86'400,
     [](ServerOptions& o, long long v) { o.router.backoff.maxDelay = std::chrono::seconds(v); }},
    {"max-queued-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.server.dispatch.maxQueuedPerHost = count(v); }},
    {"max-queued", 1, 100'000'000, [](ServerOptions& o, long long v) { o.server.dispatch.maxQueued = count(v); }},
    {"max-deliveries", 1, 1'000'000, [](ServerOptions& o, long long v) { o.server.dispatch.maxInFlight = count(v); }},
    {"connect-timeout", 1, 600,
     [](ServerOptions& o, long long v) { o.server.dispatch.connectTimeoutMs = milliseconds(v); }},
    {"delivery-timeout", 1, 600, [](ServerOptions& o, long long v) { o.server.dispatch.timeoutMs = milliseconds(v); }},
    {"max-backoff", 1, 86'400, [](ServerOptions& o, long long v) { o.server.dispatch.maxBackoffMs = milliseconds(v); }},
    {"delivery-deadline", 1, 86'400,
     [](ServerOptions& o, long long v) { o.server.dispatch.deadlineMs = milliseconds(v); }},
    {"max-held-per-user", 1, 10'000'000, [](ServerOptions& o, long long v) { o.server.hold.perRecipient = count(v); }},
    {"max-held", 1, 100'000'000, [](ServerOptions& o, long long v) { o.server.hold.total = count(v); }},
    {"hold-time", 1, 31'536'000, [](ServerOptions& o, long long v) { o.server.hold.keep = std::chrono::seconds(v); }},
    {"log-limit", 1, 1'000'000'000, [](ServerOptions& o, long long v) { o.logLimit = count(v); }},
};

constexpr std::string_view kTexts[] = {"listen", "accounts", "state-file", "bot", "delivery-source"};

std::optional<long long> parseNumber(const std::string& text, const NumberOption& option)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || stop != end || value < option.lowest || value > option.highest)
        return std::nullopt;
    return value;
}

bool isValidName(const std::string& name)
{
    return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == 0x7f;
    });
}

bool isAddress(const std::string& text)
{
    unsigned char bytes[16];
    return inet_pton(AF_INET, text.c_str(), bytes) == 1 || inet_pton(AF_INET6, text.c_str(), bytes) == 1;
}

const NumberOption* numberNamed(std::string_view name)
{
    for (const NumberOption& number : kNumbers) {
        if (name == number.name)
            return &number;
    }
    return nullptr;
}

// Checks and applies one option with its value; returns an error text, empty when fine.
std::string apply(std::string_view name, const std::string& value, ServerOptions& options)
{
    if (const NumberOption* number = numberNamed(name)) {
        const auto parsed = parseNumber(value, *number);
        const bool isPort = name.ends_with("port");
        if (!parsed)
            return std::string("bad ") + (isPort ? "port" : "value") + " '" + value + "' for --" + number->name
                 + " (expected " + std::to_string(number->lowest) + "-" + std::to_string(number->highest) + ")";
        number->apply(options, *parsed);
        return {};
    }
    if (name == "listen") {
        if (!isAddress(value))
            return "bad address '" + value + "' for --listen (expected an IP address such as 0.0.0.0)";
        options.listenAddress = value;
        options.server.listenAddress = value;
    } else if (name == "delivery-source") {
        if (!isAddress(value))
            return "bad address '" + value + "' for --delivery-source (expected an IP address of this machine)";
        options.server.dispatch.sources.push_back(value);
    } else if (name == "bot") {
        if (!isValidName(value))
            return "bad bot name '" + value + "' (must be non-empty, without spaces)";
        if (std::find(options.bots.begin(), options.bots.end(), value) == options.bots.end())
            options.bots.push_back(value);
    } else {
        if (value.empty())
            return "empty file name for --" + std::string(name);
        (name == "accounts" ? options.accountsFile : options.server.stateFile) = value;
    }
    return {};
}

bool takesValue(std::string_view name)
{
    return numberNamed(name) || std::find(std::begin(kTexts), std::end(kTexts), name) != std::end(kTexts);
}

CommandLine failure(std::string error)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.error = std::move(error);
    return result;
}

} // namespace

ServerOptions defaultOptions(const MachineLimits& machine)
{
    ServerOptions options;
    const std::size_t descriptors = machine.descriptors > 2 * kReservedDescriptors
                                        ? machine.descriptors - kReservedDescriptors
                                        : kReservedDescriptors;
    // Three quarters of the descriptors for request connections, the rest for deliveries in flight.
    options.server.maxConnections
        = std::max<std::size_t>(16, std::min<std::uint64_t>(descriptors / 4 * 3, machine.memoryBytes / kBytesPerConnection));
    options.server.dispatch.maxInFlight = std::max<std::size_t>(16, descriptors / 4);
    // A connection waits for one password check at most: every one of them finds a place.
    options.server.maxQueuedChecks = options.server.maxConnections;
    options.maxAccounts = atLeast(AccountBook::kDefaultCapacity, machine.memoryBytes / kBytesPerAccount);
    options.server.dispatch.maxQueued = atLeast(100'000, machine.memoryBytes / kBytesPerQueued);
    options.server.hold.total = atLeast(10'000, machine.memoryBytes / kBytesPerHeld);
    return options;
}

CommandLine parseCommandLine(const std::vector<std::string>& args, const MachineLimits& machine)
{
    CommandLine result;
    result.options = defaultOptions(machine);
    bool help = false;
    bool version = false;
    std::string firstError;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            continue;
        }
        if (arg == "--version") {
            version = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            if (firstError.empty())
                firstError = arg.starts_with("-") && arg.size() > 1 ? "unknown option '-" + arg.substr(1, 1) + "'"
                                                                   : "unexpected argument '" + arg + "'";
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (!takesValue(name)) {
            if (firstError.empty())
                firstError = "unknown option '--" + name + "'";
            continue;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            if (firstError.empty())
                firstError = "missing value for --" + name;
            continue;
        }
        if (std::string error = apply(name, value, result.options); !error.empty() && firstError.empty())
            firstError = error;
    }
    if (help)
        result.action = CommandLine::Action::Help;
    else if (version)
        result.action = CommandLine::Action::Version;
    else if (!firstError.empty())
        return failure(firstError);
    return result;
}

std::string versionText()
{
    return std::string("qornc-server ") + QORNC_SERVER_VERSION + "\n";
}

} // namespace qornc::server
