// qornc: the QOR Network Client. Settings live in info.cfg and list.cfg in the working folder.
#include <QApplication>

#include <csignal>
#include <cstdlib>
#include <optional>

#include "app/CClientApp.h"
#include "app/ClientCommandLine.h"
#include "app/rules/SessionBusAddress.h"
#include "res/Version.h"
#include "ui/MessageBoxes.h"
#include "ui/UserLanguage.h"

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN); // a peer that went away must not kill the client mid-send
    QCoreApplication::setApplicationName(QStringLiteral("qornc"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersionText));
    // Set by qornc-launcher, which makes the settings folder only for a start.
    if (qEnvironmentVariableIsSet("QORNC_CHECK_ARGUMENTS"))
        return ClientCommandLine().Starts(argc, argv) ? EXIT_SUCCESS : EXIT_FAILURE;
    // Answered before QApplication, which needs a display: a terminal without one gets them too.
    if (const std::optional<int> exitCode = ClientCommandLine().Answer(argc, argv))
        return *exitCode;
    SessionBusAddress::Settle();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const UserLanguage language;

    QtMessageBoxes boxes;
    ClientAppOptions options;
    CClientApp client(options, boxes);

    return client.Run();
}
