#include "AccountBook.h"
#include "AccountsFile.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "CommandLine.h"
#include "LogSink.h"
#include "LogThrottle.h"
#include "MachineLimits.h"
#include "StateFile.h"
#include "StateFileLock.h"

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

using namespace qornc::server;

namespace {

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "qornc-server: %s\n", message.c_str());
    return code;
}

// Writes the counts of suppressed log lines once a second.
void flushSummaries(asio::steady_timer& timer, LogThrottle& throttle)
{
    timer.expires_after(std::chrono::seconds(1));
    timer.async_wait([&timer, &throttle](const std::error_code& error) {
        if (error)
            return;
        throttle.flushDue();
        flushSummaries(timer, throttle);
    });
}

} // namespace

int main(int argc, char* argv[])
{
    const MachineLimits machine = raiseAndReadMachineLimits();
    const CommandLine command = parseCommandLine({argv + 1, argv + argc}, machine);
    if (command.action == CommandLine::Action::Help || command.action == CommandLine::Action::Version) {
        std::fputs((command.action == CommandLine::Action::Help ? usageText(machine) : versionText()).c_str(), stdout);
        return 0;
    }
    if (command.action == CommandLine::Action::Fail)
        return fail(1, command.error + " (see --help)");
    // A delivery to a client that went away must not kill the server.
    std::signal(SIGPIPE, SIG_IGN);

    asio::io_context io(1);
    // Shutdown runs through the event loop and destructors, not a signal handler.
    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&io](const std::error_code& error, int) {
        if (!error)
            io.stop();
    });

    const ServerOptions& options = command.options;
    AccountBook accounts(options.maxAccounts);
    std::string error;
    if (!options.accountsFile.empty() && !loadAccountsFile(options.accountsFile, accounts, error))
        return fail(2, error);
    // Held until the end, so that no other server saves over our accounts. Written back at once,
    // so that a path the server cannot write fails now rather than at the first registration.
    StateFileLock stateLock;
    if (!options.server.stateFile.empty()
        && (!stateLock.acquire(options.server.stateFile, error) || !loadStateFile(options.server.stateFile, accounts, error)
            || !saveStateFile(options.server.stateFile, accounts, error)))
        return fail(2, error);

    LogThrottle throttle(stdoutLog(), options.logLimit);
    asio::steady_timer summaries(io);
    flushSummaries(summaries, throttle);
    const LogSink log = [&throttle](const std::string& line) { throttle.line(line); };
    const std::size_t known = accounts.size();
    ChatServer server(io,
                      ChatRouter(std::move(accounts), options.bots, options.router, std::chrono::steady_clock::now,
                                 nullptr, options.server.hold),
                      options.server, log);
    if (std::string listenError; !server.listen(listenError))
        return fail(3, listenError);
    log("listening on " + options.listenAddress + ":" + std::to_string(server.port()) + ", notifications to port "
        + std::to_string(options.server.notifyPort) + ", " + std::to_string(options.bots.size()) + " bot(s), "
        + std::to_string(known) + " account(s), at most " + std::to_string(options.server.maxConnections)
        + " connections");
    io.run();
    return 0;
}
