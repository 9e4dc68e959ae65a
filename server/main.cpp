#include "AccountBook.h"
#include "AccountsFile.h"
#include "ChatRouter.h"
#include "ChatServer.h"
#include "CommandLine.h"
#include "LogSink.h"
#include "SignalQuitter.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

using namespace qornc::server;

namespace {

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "qornc-server: %s\n", message.c_str());
    return code;
}

ServerConfig configFrom(const ServerOptions& options)
{
    ServerConfig config;
    config.listenAddress = QHostAddress(QString::fromStdString(options.listenAddress));
    config.port = options.port;
    config.notifyPort = options.notifyPort;
    return config;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine command = parseCommandLine({argv + 1, argv + argc});
    if (command.action == CommandLine::Action::Help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (command.action == CommandLine::Action::Fail)
        return fail(2, command.error + " (see --help)");

    QCoreApplication app(argc, argv);
    const SignalQuitter quitter;
    const ServerOptions& options = command.options;
    AccountBook accounts;
    std::string error;
    if (!options.accountsFile.empty() && !loadAccountsFile(options.accountsFile, accounts, error))
        return fail(2, error);

    const LogSink log = stdoutLog();
    ChatServer server(ChatRouter(std::move(accounts), options.bots), configFrom(options), log);
    if (QString listenError; !server.listen(listenError))
        return fail(1, listenError.toStdString());
    if (!quitter.isActive())
        log("warning: SIGINT/SIGTERM will not shut down cleanly");
    log("listening on " + options.listenAddress + ":" + std::to_string(server.port()) + ", notifications to port "
        + std::to_string(options.notifyPort) + ", " + std::to_string(options.bots.size()) + " bot(s)");
    return app.exec();
}
