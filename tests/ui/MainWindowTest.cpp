// The main window as built from its layout, and its keys: Escape, Enter, the close box.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "UiFixture.h"
#include "res/Resources.h"

namespace {

class MainWindowTest : public UiFixture {};

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
    EXPECT_FALSE(qobject_cast<QCheckBox*>(window().control(IDC_AUTO_UPDATE))->isChecked());
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

TEST_F(MainWindowTest, InputLineTakes128Characters)
{
    Start();
    QTest::keyClicks(input(), QString(130, QLatin1Char('x')));
    EXPECT_EQ(input()->text().size(), 128);
}

TEST_F(MainWindowTest, ContactListReadOnlyUntilEditList)
{
    WriteList("alice\r\n");
    Start();
    EXPECT_TRUE(contacts()->isReadOnly());
    contacts()->moveCursor(QTextCursor::End);
    QTest::keyClicks(contacts(), QStringLiteral("bob"));
    EXPECT_EQ(contacts()->toPlainText(), QStringLiteral("alice\n"));

    QTest::mouseClick(button(IDC_EDIT_LIST), Qt::LeftButton);
    EXPECT_FALSE(contacts()->isReadOnly());
    EXPECT_EQ(button(IDC_EDIT_LIST)->text(), QStringLiteral("&Done"));
    contacts()->moveCursor(QTextCursor::End);
    QTest::keyClicks(contacts(), QStringLiteral("bob"));
    EXPECT_EQ(contacts()->toPlainText(), QStringLiteral("alice\nbob"));

    QTest::mouseClick(button(IDC_EDIT_LIST), Qt::LeftButton);
    EXPECT_TRUE(contacts()->isReadOnly());
    EXPECT_EQ(button(IDC_EDIT_LIST)->text(), QStringLiteral("&Edit list"));
}

}  // namespace
