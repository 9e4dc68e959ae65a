// The main window as built from its layout, its keys (Escape, Enter, the close box), the Online
// selection across late answers, and an identity too long for the requests.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/CSetupDlg.h"
#include "res/Resources.h"
#include "support/UiFixture.h"

namespace {

using MainWindowTest = UiFixture;

// The visible tab stops, their order and their captions are checked by what a screen reader
// says going round the window (DesktopIntegrationTest).
TEST_F(MainWindowTest, ControlsFollowTheLayout)
{
    Start();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("QOR Network Client"));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    QStringList captions; // with their mnemonic markers
    for (const QAbstractButton* button : window().findChildren<QAbstractButton*>())
        if (button->property("controlId").isValid()) // not the menu bar's own
            captions << button->text();
    captions.sort();
    EXPECT_EQ(captions, QStringList({"&Auto-update list", "&Connect", "&Disconnect", "&Edit list", "&Send message",
                                     "&Update list", "E&xit"}));
    for (const int id : {IDC_SEND, IDC_AUTO_UPDATE}) { // unreachable, mnemonic included
        EXPECT_TRUE(window().control(id)->isHidden()) << id;
        EXPECT_FALSE(window().control(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(qobject_cast<QLineEdit*>(window().control(IDC_STATUS))->isReadOnly());
}

TEST_F(MainWindowTest, EscapeConnectsAndNeverCloses)
{
    Start();
    ASSERT_TRUE(server.WaitForBlocks("login", 1));
    QTest::keyClick(&window(), Qt::Key_Escape); // connected: nothing to do
    Settle();
    EXPECT_EQ(server.BlocksStarting("login").size(), 1u);
    EXPECT_TRUE(window().isVisible());

    window().OnDisconnectButton();
    EXPECT_TRUE(button(IDCANCEL)->isEnabled());
    ASSERT_TRUE(server.WaitForBlocks("logout", 1));
    EXPECT_EQ(server.BlocksStarting("logout").front().size, 128u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestClosedByClient(); }, 2000));
    QTest::keyClick(&window(), Qt::Key_Escape);
    ASSERT_TRUE(server.WaitForBlocks("login", 2));
    const auto logins = server.BlocksStarting("login");
    EXPECT_EQ(logins.back().size, 128u); // Connect's login is the short block
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(window().hasExited());
    EXPECT_FALSE(button(IDCANCEL)->isEnabled());
}

TEST_F(MainWindowTest, CloseBoxHidesWithATrayAndMinimisesWithout)
{
    for (const bool tray : {true, false}) {
        SCOPED_TRACE(tray);
        Start(tray);
        if (tray)
            window().OnTrayNotify(); // the pump keeps it hidden until the first tray click
        ASSERT_TRUE(window().isVisible());
        EXPECT_FALSE(window().close()); // the close box's way
        Settle(20);
        EXPECT_FALSE(window().hasExited());
        if (tray) {
            EXPECT_TRUE(window().isHidden());
            EXPECT_EQ(state().g_windowHidden, 1);
        } else {
            EXPECT_TRUE(window().isVisible());
            EXPECT_TRUE(window().isMinimized());
        }
        app.reset();
    }
}

TEST_F(MainWindowTest, EnterSendsWhereItMeansNothingElseAndPressesAFocusedButton)
{
    WriteList("alice\r\n");
    Start();
    DeliverPresence({"alice"}, true);
    struct Case {
        int control;
        std::size_t messages; // "message" blocks the Enter sends
    };
    // Update list comes last: its refresh holds sending until an answer.
    for (const Case c : {Case{IDC_ONLINE, 1}, Case{IDC_INPUT, 1}, Case{IDC_CONTACTS, 1}, Case{IDC_UPDATE_LIST, 0}}) {
        SCOPED_TRACE(c.control);
        SelectRows({0});
        input()->setText(QStringLiteral("hi"));
        const std::size_t messages = server.BlocksStarting("message").size();
        const std::size_t asked = server.BlocksStarting("getbuddy").size();
        window().control(c.control)->setFocus();
        QTest::keyClick(window().control(c.control), Qt::Key_Return);
        Settle(100);
        EXPECT_EQ(server.BlocksStarting("message").size(), messages + c.messages);
        EXPECT_EQ(server.BlocksStarting("getbuddy").size() > asked, c.control == IDC_UPDATE_LIST);
    }
}

// However late a refresh's answers come, the selection stays with the names, also when they move.
TEST_F(MainWindowTest, SelectionOutlastsLatePresenceAnswers)
{
    WriteList("alice\r\nbob\r\ncarol\r\n");
    Start();
    DeliverPresence({"alice", "carol"}, true);
    SelectRows({1});
    QTest::mouseClick(button(IDC_UPDATE_LIST), Qt::LeftButton);
    Settle(1500);
    DeliverPresence({"alice"}, false);
    DeliverPresence({"bob", "carol"}, true);
    QTest::keyClicks(input(), QStringLiteral("hi"));
    QTest::keyClick(input(), Qt::Key_Return);
    Settle(100);
    EXPECT_EQ(server.TextsStarting("message"), std::vector<std::string>{"message me pw carol hi"});
}

TEST_F(MainWindowTest, AnIdentityTooLongForTheRequestsNeverStrandsTheUser)
{
    WriteInfo(std::string(30, 'n'), std::string(26, 'p')); // the login fits, the logout cannot
    Start();
    ASSERT_TRUE(server.WaitForBlocks("login", 1));
    window().OnDisconnectButton();
    EXPECT_TRUE(button(IDCANCEL)->isEnabled());
    EXPECT_FALSE(button(IDC_DISCONNECT)->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestClosedByClient(); }, 2000));
    // Options opens the setup dialog, which refuses the identity that could not log out.
    const ModalWatcher watcher([](QDialog* dialog) {
        qobject_cast<CSetupDlg*>(dialog)->OnOK();
        dialog->reject();
    });
    window().OnOptions();
    EXPECT_TRUE(watcher.seen());
    ASSERT_EQ(boxes.texts(), QStringList{"The name and password together are too long: at most 55 characters."});
    app.reset();

    FakeServer fresh; // one character more and not even the login can be formed
    options.serverPort = fresh.port();
    WriteInfo(std::string(30, 'n'), std::string(27, 'p'));
    Start();
    EXPECT_EQ(status(), QStringLiteral("Can't log in: the name and password together are too long."));
    EXPECT_TRUE(button(IDCANCEL)->isEnabled());
    Settle(100);
    EXPECT_TRUE(fresh.Blocks().empty());
}

}  // namespace
