// The tray: the window stays behind it until clicked, and a message the user has not seen makes
// the icon blink until the window is looked at.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "UiFixture.h"
#include "net/NotificationHandler.h"

namespace {

class TrayAlertTest : public UiFixture {
protected:
    void ExpectAlert(bool on)
    {
        EXPECT_EQ(window().tray().toolTip(), on ? QStringLiteral("QORNC - New message(s)") : QStringLiteral("QORNC"));
        EXPECT_EQ(window().tray().showingAlertIcon(), on);
        EXPECT_EQ(window().tray().blinking(), on);
        EXPECT_EQ(state().g_alertActive, on ? 1 : 0);
    }
};

TEST_F(TrayAlertTest, WindowStaysHiddenUntilTheTrayIsClicked)
{
    Start(true);
    Settle(50);
    EXPECT_TRUE(window().isHidden());
    window().show(); // something shows it before any click: the pump hides it again
    Settle(50);
    EXPECT_TRUE(window().isHidden());

    window().OnTrayNotify();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    window().OnTrayNotify();
    Settle(20);
    EXPECT_TRUE(window().isHidden());
    window().OnTrayNotify();
    Settle(20);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(TrayAlertTest, MessagesWhileHiddenShowInOrderAndBlinkUntilTheWindowIsActive)
{
    Start(true);
    ExpectAlert(false);
    QString expected;
    for (int i = 0; i < 40; ++i) { // enough text that the view can scroll
        Deliver(QByteArray(i % 2 ? "message bob line " : "message carol line ") + QByteArray::number(i));
        expected += QStringLiteral("%1: line %2\n\n").arg(i % 2 ? "bob" : "carol").arg(i);
    }
    EXPECT_EQ(conversation()->toPlainText(), expected); // every one, in order, while hidden
    ExpectAlert(true);

    // Each blink swaps the icon and keeps the alert's tooltip. Relative to the icon before it:
    // the real timer has been running since the first message and may have blinked already.
    for (int blink = 0; blink < 3; ++blink) {
        const bool alertIcon = window().tray().showingAlertIcon();
        window().tray().BlinkTimerProc();
        EXPECT_NE(window().tray().showingAlertIcon(), alertIcon);
        EXPECT_EQ(window().tray().toolTip(), QStringLiteral("QORNC - New message(s)"));
    }
    // The timer does the same by itself, once a second.
    const bool before = window().tray().showingAlertIcon();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window().tray().showingAlertIcon() != before; }, 1500));

    window().OnTrayNotify();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().g_alertActive == 0; }, 2000));
    ExpectAlert(false);
    const QScrollBar* bar = conversation()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(TrayAlertTest, MessageWhileActiveStartsNoAlert)
{
    Start(false);
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    Deliver("message bob hi");
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\n"));
    ExpectAlert(false);
    // Right after the pass that shows it, too: no alert that the next pass would merely stop.
    HandleNotification(state(), "message bob again");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\nbob: again\n\n"));
    ExpectAlert(false);
}

}  // namespace
