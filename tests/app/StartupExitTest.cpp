// Start-up (setup dialog first when unconfigured, connect and log in) and Exit, which must log
// out and save the contact list as last edited. Signals are tried on the real binary.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "app/CSetupDlg.h"
#include "res/Resources.h"
#include "support/ClosedPort.h"
#include "support/UiFixture.h"

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
        window().OnEditListButton();
        // Still editing, last line unended: saved as it stands, at once, with no snapshot timer run.
        contacts()->setPlainText(QStringLiteral("alice\nbob\ncarol"));
        window().OnOK();
        EXPECT_TRUE(window().isHidden());
        EXPECT_TRUE(app->ExitInstance());
        EXPECT_EQ(ReadList(), "alice\r\nbob\r\ncarol");
        app.reset();
    }
    ASSERT_TRUE(server.WaitForBlocks("logout", 1));
    EXPECT_EQ(server.Blocks().front().text, "login me pw");
    EXPECT_EQ(server.Blocks().front().size, 256u);
    EXPECT_EQ(server.Blocks().back().text, "logout me pw");
    EXPECT_EQ(server.Blocks().back().size, 128u);
    // Ended from outside while the save fails: nobody is there to click a box, so its text goes to
    // standard error and the end still comes.
    Start();
    window().OnEditListButton();
    contacts()->setPlainText(QStringLiteral("dave\n"));
    std::filesystem::remove(dir / "list.cfg");
    std::filesystem::create_directory(dir / "list.cfg");
    testing::internal::CaptureStderr();
    app->EndFromOutside();
    EXPECT_FALSE(app->ExitInstance());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error saving file"), std::string::npos);
    EXPECT_TRUE(server.WaitForBlocks("logout", 2));
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
