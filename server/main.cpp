#include "AccountBook.h"
#include "AccountsFile.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "CommandLine.h"
#include "DescriptorTable.h"
#include "LineFile.h"
#include "LogThrottle.h"
#include "MachineLimits.h"
#include "StateJournal.h"
#include "StdoutLog.h"

#include <asio/io_context.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

using namespace qornc::server;

namespace {

// The state file, its lock, the listener, the log: beside every connection and delivery.
constexpr std::size_t kSpareDescriptors = 64;

// Long enough for a lost acknowledgement to be sent again a few times on a poor link.
constexpr auto kStopGrace = std::chrono::seconds(3);

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

    const ServerOptions& options = command.options;
    AccountBook accounts(options.maxAccounts);
    std::string error;
    if (!options.accountsFile.empty() && !loadAccountsFile(options.accountsFile, accounts, error))
        return fail(2, error);
    LogThrottle throttle(stdoutLog(), options.logLimit);
    asio::steady_timer summaries(io);
    flushSummaries(summaries, throttle);
    const LogSink log = [&throttle](const std::string& line) { throttle.line(line); };
    // Before the journal and the hash workers start their threads.
    const std::size_t wanted = options.server.maxConnections + options.server.dispatch.maxInFlight + kSpareDescriptors;
    if (const std::string reserveError = reserveDescriptorTable(std::min(wanted, machine.descriptors));
        !reserveError.empty())
        log("note: " + reserveError + "; the event loop may pause as connections grow");

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
    // The texts already written get a moment to be acknowledged: held instead, a recipient who
    // has them would be shown them again after the restart. A second signal stops at once.
    signals.async_wait([&](const std::error_code& signalError, int) {
        if (signalError)
            return;
        server.stopGently(kStopGrace, [&io] { io.stop(); });
        signals.async_wait([&io](const std::error_code& again, int) {
            if (!again)
                io.stop();
        });
    });
    io.run();
    return 0;
}
