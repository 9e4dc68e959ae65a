#include <QApplication>

#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

// Widgets need an application object; without a display the offscreen platform stands in.
int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Unseen messages notify on the session bus: never the desktop of whoever runs the tests.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/qornc-tests", 1);
    std::signal(SIGPIPE, SIG_IGN); // as the client: a dropped peer must not end the run
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
