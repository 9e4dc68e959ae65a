#include "AccountBook.h"
#include "AccountsFile.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "CommandLine.h"
#include "LineFile.h"
#include "StdoutLog.h"
#include "LogThrottle.h"
#include "SignalQuitter.h"
#include "StateJournal.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include <sys/resource.h>

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

// Every connection and every delivery in flight is a descriptor; the usual
// soft limit of 1024 is below what the connection caps allow.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine command = parseCommandLine({argv + 1, argv + argc});
    if (command.action == CommandLine::Action::Help || command.action == CommandLine::Action::Version) {
        std::fputs((command.action == CommandLine::Action::Help ? usageText() : versionText()).c_str(), stdout);
        return 0;
    }
    if (command.action == CommandLine::Action::Fail)
        return fail(1, command.error + " (see --help)");

    QCoreApplication app(argc, argv);
    const SignalQuitter quitter;
    raiseDescriptorLimit();
    const ServerOptions& options = command.options;
    AccountBook accounts(options.maxAccounts);
    std::string error;
    if (!options.accountsFile.empty() && !loadAccountsFile(options.accountsFile, accounts, error))
        return fail(2, error);
    LogThrottle throttle(stdoutLog(), options.logLimit);
    QTimer summaries;
    QObject::connect(&summaries, &QTimer::timeout, [&throttle] { throttle.flushDue(); });
    summaries.start(1000);
    const LogSink log = [&throttle](const std::string& line) { throttle.line(line); };

    // Its lock is held until the end, so that no other server writes over our accounts.
    auto journal = std::make_unique<StateJournal>();
    StateJournal::Options journalOptions;
    journalOptions.isPreset = [&accounts](std::string_view name) { return accounts.contains(name); };
    error = journal->open(options.server.stateFile, log, ChatServer::eventLoopPost(), journalOptions);
    if (!error.empty() || !adoptAccounts(*journal, accounts, options.server.stateFile, error))
        return fail(2, error);
    journal->dropRecovered();
    const std::size_t known = accounts.size();
    ChatServer server(ChatRouter(std::move(accounts), options.bots, options.router), options.server, log,
                      std::move(journal));
    if (QString listenError; !server.listen(listenError))
        return fail(3, listenError.toStdString());
    if (!quitter.isActive())
        log("warning: SIGINT/SIGTERM will not shut down cleanly");
    log("listening on " + options.listenAddress + ":" + std::to_string(server.port()) + ", notifications to port "
        + std::to_string(options.server.notifyPort) + ", " + std::to_string(options.bots.size()) + " bot(s), "
        + std::to_string(known) + " account(s)");
    return app.exec();
}
