#include "CommandLine.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>

#include <algorithm>
#include <charconv>
#include <optional>

namespace qornc::server {

namespace {

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

// Every number, with the range that makes sense for it and where it goes.
constexpr NumberOption kNumbers[] = {
    {"port", 0, 65535, [](ServerOptions& o, long long v) { o.server.port = static_cast<quint16>(v); }},
    {"notify-port", 1, 65535, [](ServerOptions& o, long long v) { o.server.notifyPort = static_cast<quint16>(v); }},
    {"max-connections", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.server.maxConnections = static_cast<std::size_t>(v); }},
    {"max-connections-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.server.maxConnectionsPerHost = static_cast<std::size_t>(v); }},
    {"login-timeout", 1, 86'400, [](ServerOptions& o, long long v) { o.server.loginTimeoutMs = milliseconds(v); }},
    {"max-accounts", 1, 100'000'000,
     [](ServerOptions& o, long long v) { o.maxAccounts = static_cast<std::size_t>(v); }},
    {"max-registrations-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.router.registrationsPerHost = static_cast<std::size_t>(v); }},
    {"registration-window", 1, 31'536'000,
     [](ServerOptions& o, long long v) { o.router.registrationWindow = std::chrono::seconds(v); }},
    {"max-password-checks-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.router.passwordChecksPerHost = static_cast<std::size_t>(v); }},
    {"max-queued-checks", 1, 100'000,
     [](ServerOptions& o, long long v) { o.server.maxQueuedChecks = static_cast<std::size_t>(v); }},
    {"max-login-backoff", 1, 86'400,
     [](ServerOptions& o, long long v) { o.router.backoff.maxDelay = std::chrono::seconds(v); }},
    {"max-queued-per-host", 1, 1'000'000,
     [](ServerOptions& o, long long v) { o.server.dispatch.maxQueuedPerHost = static_cast<std::size_t>(v); }},
    {"max-queued", 1, 100'000'000,
     [](ServerOptions& o, long long v) { o.server.dispatch.maxQueued = static_cast<std::size_t>(v); }},
    {"connect-timeout", 1, 600,
     [](ServerOptions& o, long long v) { o.server.dispatch.connectTimeoutMs = milliseconds(v); }},
    {"delivery-timeout", 1, 600, [](ServerOptions& o, long long v) { o.server.dispatch.timeoutMs = milliseconds(v); }},
    {"max-backoff", 1, 86'400, [](ServerOptions& o, long long v) { o.server.dispatch.maxBackoffMs = milliseconds(v); }},
    {"delivery-deadline", 1, 86'400,
     [](ServerOptions& o, long long v) { o.server.dispatch.deadlineMs = milliseconds(v); }},
    {"log-limit", 1, 1'000'000'000, [](ServerOptions& o, long long v) { o.logLimit = static_cast<std::size_t>(v); }},
};

constexpr const char* kTexts[][2] = {
    {"listen", "ADDR"}, {"accounts", "FILE"}, {"state-file", "FILE"}, {"bot", "NAME"},
};

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

std::string valueOf(const QCommandLineParser& parser, const char* name)
{
    return parser.value(QString::fromLatin1(name)).toStdString();
}

// Checks and applies every value; returns an error text, empty when fine.
std::string apply(const QCommandLineParser& parser, ServerOptions& options)
{
    for (const NumberOption& number : kNumbers) {
        if (!parser.isSet(QString::fromLatin1(number.name)))
            continue;
        const std::string text = valueOf(parser, number.name);
        const auto value = parseNumber(text, number);
        const bool isPort = std::string_view(number.name).ends_with("port");
        if (!value)
            return std::string("bad ") + (isPort ? "port" : "value") + " '" + text + "' for --" + number.name
                 + " (expected " + std::to_string(number.lowest) + "-" + std::to_string(number.highest) + ")";
        number.apply(options, *value);
    }
    if (parser.isSet(QStringLiteral("listen"))) {
        options.listenAddress = valueOf(parser, "listen");
        if (QHostAddress address; !address.setAddress(QString::fromStdString(options.listenAddress)))
            return "bad address '" + options.listenAddress + "' for --listen (expected an IP address such as 0.0.0.0)";
        options.server.listenAddress = QHostAddress(QString::fromStdString(options.listenAddress));
    }
    for (const char* file : {"accounts", "state-file"}) {
        if (parser.isSet(QString::fromLatin1(file)) && valueOf(parser, file).empty())
            return std::string("empty file name for --") + file;
    }
    options.accountsFile = valueOf(parser, "accounts");
    options.server.stateFile = valueOf(parser, "state-file");
    for (const QString& bot : parser.values(QStringLiteral("bot"))) {
        const std::string name = bot.toStdString();
        if (!isValidName(name))
            return "bad bot name '" + name + "' (must be non-empty, without spaces)";
        if (std::find(options.bots.begin(), options.bots.end(), name) == options.bots.end())
            options.bots.push_back(name);
    }
    return {};
}

CommandLine failure(std::string error)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.error = std::move(error);
    return result;
}

void addOptions(QCommandLineParser& parser)
{
    for (const NumberOption& number : kNumbers)
        parser.addOption({QString::fromLatin1(number.name), {}, QStringLiteral("N")});
    for (const auto& [name, valueName] : kTexts)
        parser.addOption({QString::fromLatin1(name), {}, QString::fromLatin1(valueName)});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, {}});
    parser.addOption({QStringLiteral("version"), {}});
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    QCommandLineParser parser;
    // "--port=5" and "--port 5" alike; single-dash words are not long options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    addOptions(parser);
    QStringList arguments{QStringLiteral("qornc-server")};
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return failure(parser.errorText().toStdString());
        const QString& name = unknown.front();
        return failure("unknown option '" + std::string(name.size() == 1 ? "-" : "--") + name.toStdString() + "'");
    }
    CommandLine result;
    if (parser.isSet(QStringLiteral("help")))
        result.action = CommandLine::Action::Help;
    else if (parser.isSet(QStringLiteral("version")))
        result.action = CommandLine::Action::Version;
    else if (!parser.positionalArguments().isEmpty())
        return failure("unexpected argument '" + parser.positionalArguments().front().toStdString() + "'");
    else if (std::string error = apply(parser, result.options); !error.empty())
        return failure(error);
    return result;
}

std::string versionText()
{
    return std::string("qornc-server ") + QORNC_SERVER_VERSION + "\n";
}

std::string usageText()
{
    return R"(Usage: qornc-server [OPTIONS]

Reference chat server for the QORNC client. Requests arrive on one TCP
connection per client, as NUL-padded blocks; every answer or message is sent
back on a new connection to the client's notification port, one at a time
and in order for each host, tried again until it is written out. A request
with a wrong password, and a login that is refused, end their connection at
once.

Options:
  --port N          TCP port to accept request connections on (default )"
        + std::to_string(kServerPort) + R"(;
                    0 picks a free port, which is logged)
  --listen ADDR     address to listen on (default 0.0.0.0, all IPv4 addresses)
  --notify-port N   port on the clients' hosts that notifications are sent to
                    (default )" + std::to_string(kNotifyPort) + R"()
  --accounts FILE   preset passwords, one "name password" per line; '#' starts
                    a comment line. Names not listed get their password from
                    their first login.
  --state-file FILE keep the names registered by a first login in FILE, so
                    that they keep their passwords across restarts; it holds
                    only argon2id password hashes (19 MiB, 2 passes) and is
                    written with mode 0600, through the link when FILE is a
                    symbolic link. Changes are appended and synced in groups
                    off the event loop; a new name can be used once FILE holds
                    it on disk; a failed write is tried again every second.
                    FILE.lock keeps a second server
                    off the same file. Without it the names are forgotten
                    when the server stops.
  --bot NAME        add an always-online account that answers every message
                    with the same text (may be repeated)
  -h, --help        print this text and exit
  --version         print the version and exit

Limits, so that one host cannot deny the server to the others:
  --max-connections N
                    request connections open at once (default 1000); when
                    all are taken, a newcomer closes the oldest connection
                    without a login of the host that has the most of those
  --max-connections-per-host N
                    request connections open at once from one address
                    (default 16)
  --login-timeout N seconds a connection may stay open without a name logged
                    in over it (default 30)
  --max-accounts N  names the server knows at most (default 100000)
  --max-registrations-per-host N
                    new names one address may register per registration
                    window (default 10)
  --registration-window N
                    length of that window in seconds (default 3600)
  --max-password-checks-per-host N
                    password hash checks and new-name hashes for one address
                    per minute (default 30); a connection needs one per name
  --max-queued-checks N
                    hash checks waiting for a hashing thread (default 16;
                    there is a thread per core but one, at most four); when
                    all places are taken, a check of a host that logged in
                    as that name before takes the last one's place, and
                    others are refused
  --max-login-backoff N
                    longest wait, in seconds, after failed logins
                    (default 900). After three free failures an address
                    waits 1 s, then 2 s, 4 s ... before its next check, and
                    each try while it waits counts as a failure. A name that
                    failed as often makes addresses wait the same way,
                    except those with fewer than three failures and those
                    that logged in as it before. Failures are forgotten an
                    hour after the last one.
  --max-queued-per-host N
                    notifications waiting for one host; beyond it the oldest
                    is dropped (default 5000)
  --max-queued N    notifications waiting for all hosts together; beyond it
                    the host with the most loses its oldest (default 100000)
  --connect-timeout N
                    seconds a notification connection may take to open
                    (default 2)
  --delivery-timeout N
                    seconds one try at a notification may take from the start
                    of its connect until it is written (default 5)
  --max-backoff N   longest pause, in seconds, between tries to a host whose
                    deliveries keep failing (default 60)
  --delivery-deadline N
                    seconds a notification is tried before it is dropped
                    (default 60)
  --log-limit N     log lines of one kind per minute; the rest are counted in
                    a "... N similar lines suppressed" line (default 120)

Exit status: 0 after SIGINT/SIGTERM or --help or --version, 1 for a bad
option, 2 for an unreadable accounts or state file or a state file another
server uses, 3 when the port cannot be opened.
)";
}

} // namespace qornc::server
