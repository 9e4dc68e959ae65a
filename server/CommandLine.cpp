#include "CommandLine.h"

#include <QHostAddress>
#include <QString>

#include <algorithm>
#include <charconv>
#include <optional>

namespace qornc::server {

namespace {

std::optional<std::uint16_t> parsePort(const std::string& text, std::uint16_t lowest)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, fault] = std::from_chars(text.data(), end, value);
    if (text.empty() || fault != std::errc() || stop != end || value < lowest || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

bool isValidName(const std::string& name)
{
    return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == 0x7f;
    });
}

// Applies one option's value; returns an error text, empty when fine.
std::string apply(const std::string& option, const std::string& value, ServerOptions& options)
{
    if (option == "--port" || option == "--notify-port") {
        const bool isNotify = option == "--notify-port";
        // 0 lets the system choose the listening port (it is logged); the
        // notification port has to be a real one.
        const auto port = parsePort(value, isNotify ? 1 : 0);
        if (!port)
            return "bad port '" + value + "' for " + option + " (expected " + (isNotify ? "1" : "0") + "-65535)";
        (isNotify ? options.notifyPort : options.port) = *port;
    } else if (option == "--listen") {
        if (QHostAddress address; !address.setAddress(QString::fromStdString(value)))
            return "bad address '" + value + "' for --listen (expected an IP address such as 0.0.0.0)";
        options.listenAddress = value;
    } else if (option == "--accounts") {
        if (value.empty())
            return "empty file name for --accounts";
        options.accountsFile = value;
    } else { // --bot
        if (!isValidName(value))
            return "bad bot name '" + value + "' (must be non-empty, without spaces)";
        if (std::find(options.bots.begin(), options.bots.end(), value) == options.bots.end())
            options.bots.push_back(value);
    }
    return {};
}

bool isKnownOption(const std::string& option)
{
    for (const char* known : {"--port", "--notify-port", "--listen", "--accounts", "--bot"})
        if (option == known)
            return true;
    return false;
}

CommandLine failure(std::string error)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.error = std::move(error);
    return result;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (arg.rfind("--", 0) != 0)
            return failure("unexpected argument '" + arg + "'");
        const auto equals = arg.find('=');
        const std::string option = arg.substr(0, equals);
        if (!isKnownOption(option))
            return failure("unknown option '" + option + "'");
        std::string value;
        if (equals != std::string::npos)
            value = arg.substr(equals + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            return failure("option '" + option + "' needs a value");
        if (std::string error = apply(option, value, result.options); !error.empty())
            return failure(error);
    }
    return result;
}

std::string usageText()
{
    return R"(Usage: qornc-server [OPTIONS]

Reference chat server for the QORNC client. Requests arrive on one TCP
connection per client, as NUL-padded blocks; every answer or message is sent
back on a new connection to the client's notification port.

Options:
  --port N          TCP port to accept request connections on (default 22001;
                    0 picks a free port, which is logged)
  --listen ADDR     address to listen on (default 0.0.0.0, all IPv4 addresses)
  --notify-port N   port on the clients' hosts that notifications are sent to
                    (default 22002)
  --accounts FILE   preset passwords, one "name password" per line; '#' starts
                    a comment line. Names not listed get their password from
                    their first login.
  --bot NAME        add an always-online account that answers every message
                    with the same text (may be repeated)
  -h, --help        print this text and exit

Exit status: 0 after SIGINT/SIGTERM or --help, 1 when the port cannot be
opened, 2 for a bad option or an unreadable accounts file.
)";
}

} // namespace qornc::server
