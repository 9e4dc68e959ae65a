// Start-up (setup dialog first when unconfigured, connect and log in) and the ways out (Exit, a
// termination signal), which must log out and save the contact list as last edited.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

#include "UiFixture.h"
#include "app/CSetupDlg.h"
#include "res/Resources.h"
#include "support/ClosedPort.h"

namespace {

class StartupExitTest : public UiFixture {};

TEST_F(StartupExitTest, SentinelIdentityOpensSetupBeforeTheMainWindow)
{
    struct Case {
        std::string name, password;
        bool confirm;
        std::string expectedName;
    };
    const Case cases[] = {
        {"default", "pw", true, "me"},         // confirmed: the dialog's identity holds
        {"me", "default", false, "me"},        // cancelled: the window opens anyway, identity as loaded
        {"default", "pw", false, "default"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + "/" + c.password);
        WriteInfo(c.name, c.password);
        bool windowExistedDuringSetup = true;
        const ModalWatcher watcher([&](QDialog* dialog) {
            windowExistedDuringSetup = app->mainWindow() != nullptr;
            auto* setup = qobject_cast<CSetupDlg*>(dialog);
            ASSERT_NE(setup, nullptr);
            if (!c.confirm) {
                dialog->reject();
                return;
            }
            setup->nameEdit()->setText(QStringLiteral("me"));
            setup->passwordEdit()->setText(QStringLiteral("pw"));
            setup->OnOK();
        });
        Start();
        EXPECT_TRUE(watcher.seen());
        EXPECT_FALSE(windowExistedDuringSetup);
        EXPECT_TRUE(window().isVisible());
        EXPECT_EQ(state().g_userId.str(), c.expectedName);
        app.reset();
    }
}

TEST_F(StartupExitTest, StartupConnectsOrShowsTheRefusalAndExitSavesEitherWay)
{
    for (const bool serverUp : {false, true}) { // down first: its saved list is refreshed when up
        SCOPED_TRACE(serverUp);
        options.serverPort = serverUp ? server.port() : ClosedPort();
        const ModalWatcher watcher([](QDialog* dialog) { dialog->reject(); });
        Start();
        EXPECT_FALSE(watcher.seen()); // a configured identity opens no setup dialog
        EXPECT_EQ(status(), serverUp ? QStringLiteral("No status messages.")
                                     : QStringLiteral("Can't connect: Error code WSAECONNREFUSED."));
        EXPECT_EQ(button(IDCANCEL)->isEnabled(), !serverUp);
        EXPECT_EQ(button(IDC_DISCONNECT)->isEnabled(), serverUp);
        if (serverUp) {
            ASSERT_TRUE(server.WaitForBlocks("login", 1));
            EXPECT_EQ(server.Blocks().front().text, "login me pw");
            EXPECT_EQ(server.Blocks().front().size, 256u);
        }
        window().OnEditListButton();
        contacts()->setPlainText(QStringLiteral("zed\n"));
        window().OnOK();
        EXPECT_TRUE(app->ExitInstance());
        EXPECT_EQ(ReadList(), "zed\r\n");
        app.reset();
    }
}

TEST_F(StartupExitTest, ExitLogsOutAndSavesTheLastEdits)
{
    WriteList("alice\r\n");
    Start();
    ASSERT_TRUE(server.WaitForBlocks("login", 1));
    window().OnEditListButton();
    // Still editing, last line unended: saved as it stands, at once, with no snapshot timer run.
    contacts()->setPlainText(QStringLiteral("alice\nbob\ncarol"));
    window().OnOK();
    EXPECT_TRUE(window().isHidden());
    EXPECT_TRUE(app->ExitInstance());
    ASSERT_TRUE(server.WaitForBlocks("logout", 1));
    const auto logout = server.BlocksStarting("logout");
    EXPECT_EQ(logout.front().text, "logout me pw");
    EXPECT_EQ(logout.front().size, 128u);
    EXPECT_EQ(ReadList(), "alice\r\nbob\r\ncarol");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(StartupExitTest, TerminationSignalTakesTheExitPath)
{
    WriteList("alice\r\n");
    options.configDir = dir.path();
    options.serverPort = server.port();
    options.notifyPort = 0;
    WriteInfo("me", "pw");
    app = std::make_unique<CClientApp>(options, boxes);
    QTimer poll;
    bool raised = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CClientDlg* dialog = app->mainWindow();
        if (raised || dialog == nullptr || !dialog->isVisible() || app->state().g_link.g_connected != 1)
            return;
        raised = true;
        dialog->OnEditListButton();
        qobject_cast<QPlainTextEdit*>(dialog->control(IDC_CONTACTS))->setPlainText(QStringLiteral("alice\ndave\n"));
        std::raise(SIGTERM);
    });
    poll.start(10);
    QTimer watchdog; // a Run that never returns fails the test instead of hanging it
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { app->mainWindow()->OnOK(); });
    watchdog.start(5000);
    EXPECT_EQ(app->Run(), 0);
    EXPECT_TRUE(raised);
    EXPECT_TRUE(watchdog.isActive()) << "the signal did not end the run";
    EXPECT_TRUE(server.WaitForBlocks("logout", 1));
    EXPECT_EQ(ReadList(), "alice\r\ndave\r\n");
}

TEST_F(StartupExitTest, ExitDuringTheStartupConnectStaysExited)
{
    options.configDir = dir.path();
    options.serverPort = server.port();
    options.notifyPort = 0;
    WriteInfo("me", "pw");
    app = std::make_unique<CClientApp>(options, boxes);
    app->InitInstance();
    QTimer::singleShot(0, &window(), &CClientDlg::OnOK); // runs inside the connect's wait
    window().Open();
    Settle(50);
    EXPECT_TRUE(window().hasExited());
    EXPECT_TRUE(window().isHidden());
    const int passes = window().pump().passes();
    Settle(50);
    EXPECT_EQ(window().pump().passes(), passes); // no pump after Exit
}

}  // namespace
