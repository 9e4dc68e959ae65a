// qornc: the QOR Network Client. Settings live in info.cfg and list.cfg in the working folder.
#include <QApplication>
#include <QSystemTrayIcon>

#include <csignal>

#include "app/CClientApp.h"
#include "res/Version.h"
#include "ui/MessageBoxes.h"

int main(int argc, char* argv[])
{
    std::signal(SIGPIPE, SIG_IGN); // a peer that went away must not kill the client mid-send
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qornc"));
    QApplication::setApplicationVersion(QLatin1String(kVersionText));
    QApplication::setQuitOnLastWindowClosed(false);

    QtMessageBoxes boxes;
    ClientAppOptions options;
    options.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    CClientApp client(options, boxes);

    return client.Run();
}
