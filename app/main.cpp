// qornc: the QOR Network Client. Settings live in info.cfg and list.cfg in the working folder.
#include <QApplication>
#include <QSystemTrayIcon>

#include <csignal>

#include "app/CClientApp.h"
#include "app/ClientCommandLine.h"
#include "res/Version.h"
#include "ui/MessageBoxes.h"

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN); // a peer that went away must not kill the client mid-send
    QCoreApplication::setApplicationName(QStringLiteral("qornc"));
    QCoreApplication::setApplicationVersion(QLatin1String(kVersionText));
    ClientCommandLine commandLine;
    // A terminal without a display still answers --help and --version.
    if (commandLine.AsksOnlyForText(argc, argv)) {
        const QCoreApplication textOnly(argc, argv);
        commandLine.Process(textOnly);
    }
    QApplication application(argc, argv);
    commandLine.Process(application);
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxes boxes;
    ClientAppOptions options;
    options.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    CClientApp client(options, boxes);

    return client.Run();
}
