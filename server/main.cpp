#include "AccountBook.h"
#include "AccountsFile.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "CommandLine.h"
#include "LineFile.h"
#include "LogThrottle.h"
#include "MachineLimits.h"
#include "StateJournal.h"
#include "StdoutLog.h"

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

using namespace qornc::server;

namespace {

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "qornc-server: %s\n", message.c_str());
    return code;
}

// The journal's accounts join those of the accounts file, which keeps the last word on its names.
bool adoptAccounts(const StateJournal& journal, AccountBook& accounts, const std::string& path, std::string& error)
{
    for (const auto& [name, hash] : journal.accounts()) {
        if (!accounts.addHashed(name, hash)) {
            error = "state file " + path + ": too many accounts";
            return false;
        }
    }
    return true;
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
    LogThrottle throttle(stdoutLog(), options.logLimit);
    asio::steady_timer summaries(io);
    flushSummaries(summaries, throttle);
    const LogSink log = [&throttle](const std::string& line) { throttle.line(line); };

    // Its lock is held until the end, so that no other server writes over our accounts.
    auto journal = std::make_unique<StateJournal>();
    StateJournal::Options journalOptions;
    journalOptions.isPreset = [&accounts](std::string_view name) { return accounts.contains(name); };
    error = journal->open(options.server.stateFile, log, ChatServer::postTo(io), journalOptions);
    if (!error.empty() || !adoptAccounts(*journal, accounts, options.server.stateFile, error))
        return fail(2, error);
    std::vector<HeldMessage> held = journal->heldMessages();
    journal->dropRecovered();
    const std::size_t known = accounts.size();
    ChatRouter router(std::move(accounts), options.bots, options.router, std::chrono::steady_clock::now, journal.get(),
                      options.server.hold);
    // Held messages recovered from the journal wait for their recipients' next login, as before the stop.
    if (!held.empty())
        log(std::to_string(held.size()) + " held message(s) recovered");
    router.restoreHeld(std::move(held));
    ChatServer server(io, std::move(router), options.server, log, std::move(journal));
    if (std::string listenError; !server.listen(listenError))
        return fail(3, listenError);
    log("listening on " + options.listenAddress + ":" + std::to_string(server.port()) + ", notifications to port "
        + std::to_string(options.server.notifyPort) + ", " + std::to_string(options.bots.size()) + " bot(s), "
        + std::to_string(known) + " account(s), at most " + std::to_string(options.server.maxConnections)
        + " connections");
    io.run();
    return 0;
}
