// The main window as built from its layout, and its keys: Escape, Enter, the close box.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "UiFixture.h"
#include "res/Resources.h"

namespace {

class MainWindowTest : public UiFixture {};

TEST_F(MainWindowTest, ControlsFollowTheLayout)
{
    Start();
    EXPECT_EQ(window().windowTitle(), QStringLiteral("QOR Network Client"));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());

    struct Expected {
        int id;
        const char* caption; // buttons and the check box
        bool visible;
    };
    const Expected controls[] = {
        {IDOK, "E&xit", true},          {IDCANCEL, "&Connect", true},   {IDC_DISCONNECT, "&Disconnect", true},
        {IDC_UPDATE_LIST, "&Update list", true}, {IDC_EDIT_LIST, "&Edit list", true},
        {IDC_SEND, "&Send message", false},      {IDC_AUTO_UPDATE, "&Auto-update list", false},
        {IDC_STATUS, nullptr, true},    {IDC_ONLINE, nullptr, true},    {IDC_CONTACTS, nullptr, true},
        {IDC_INPUT, nullptr, true},     {IDC_CONVERSATION, nullptr, true},
    };
    for (const Expected& c : controls) {
        SCOPED_TRACE(c.id);
        QWidget* widget = window().control(c.id);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->isVisible(), c.visible);
        if (!c.visible) {
            EXPECT_FALSE(widget->isEnabled()); // unreachable, mnemonic included
        }
        if (auto* pushButton = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(pushButton->text(), QString::fromUtf8(c.caption));
        }
        if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            EXPECT_EQ(check->text(), QString::fromUtf8(c.caption));
        }
    }
    EXPECT_FALSE(qobject_cast<QCheckBox*>(window().control(IDC_AUTO_UPDATE))->isChecked());
    EXPECT_TRUE(qobject_cast<QLineEdit*>(window().control(IDC_STATUS))->isReadOnly());

    QStringList visibleLabels;
    QStringList hiddenLabels;
    for (QLabel* label : window().findChildren<QLabel*>())
        (label->isVisible() ? visibleLabels : hiddenLabels).append(label->text());
    visibleLabels.sort();
    EXPECT_EQ(visibleLabels, (QStringList{"Messages:", "Online:", "Status:"}));
    EXPECT_EQ(hiddenLabels, QStringList{"Contact list:"});

    // Tab order: the layout's order over the visible tab stops, around and back to the start.
    const std::vector<int> expectedOrder = {IDOK,     IDC_UPDATE_LIST, IDC_ONLINE,       IDC_CONTACTS, IDCANCEL,
                                            IDC_DISCONNECT, IDC_INPUT, IDC_CONVERSATION, IDC_EDIT_LIST};
    std::vector<int> order;
    QWidget* start = window().control(IDOK);
    QWidget* widget = start;
    do {
        const QVariant id = widget->property("controlId");
        if (id.isValid() && widget->isVisibleTo(&window()) && (widget->focusPolicy() & Qt::TabFocus) != 0)
            order.push_back(id.toInt());
        widget = widget->nextInFocusChain();
    } while (widget != start && order.size() < 50);
    EXPECT_EQ(order, expectedOrder);
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
