#include <QApplication>

#include <gtest/gtest.h>

#include <csignal>

// The client's windows need a widget application; the tests run it offscreen.
int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN); // as the client does: a peer that went away must not kill us
    std::signal(SIGXFSZ, SIG_IGN); // the full-disk test lowers the file size limit
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Unseen messages notify on the session bus: never the desktop of whoever runs the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qornc-tests");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
