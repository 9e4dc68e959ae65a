// The tray: the icons' pictures, the window behind the icon until it is clicked, the icon
// greyed while the link is down, and blinking while a message waits unseen.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "support/UiFixture.h"

namespace {

QImage Pixels(const QIcon& icon)
{
    return icon.pixmap(32).toImage();
}

class TrayAlertTest : public UiFixture {
protected:
    [[nodiscard]] bool ShowsAlertIcon() { return Pixels(window().tray().icon()) == Pixels(TrayIcon::AlertIcon()); }
    void ExpectAlert(bool on, bool linkUp = true)
    {
        const QString quiet = linkUp ? QStringLiteral("QORNC") : QStringLiteral("QORNC - Not connected");
        EXPECT_EQ(window().tray().toolTip(), on ? QStringLiteral("QORNC - New message(s)") : quiet);
        const QIcon base = linkUp ? TrayIcon::NormalIcon() : TrayIcon::OfflineIcon();
        EXPECT_EQ(Pixels(window().tray().icon()), Pixels(on ? TrayIcon::AlertIcon() : base));
        EXPECT_EQ(state().g_alertActive, on ? 1 : 0);
    }
};

TEST_F(TrayAlertTest, MessagesWhileHiddenShowInOrderAndBlinkUntilTheWindowIsActive)
{
    // Two pictures to tell apart, or the blink shows nothing (the tray check sees their colours).
    const QImage normal = Pixels(TrayIcon::NormalIcon());
    EXPECT_NE(normal, Pixels(TrayIcon::AlertIcon()));
    Start(true);
    EXPECT_EQ(Pixels(window().windowIcon()), normal);
    Settle(50);
    EXPECT_TRUE(window().isHidden()); // until the icon is clicked
    ExpectAlert(false);
    QString expected;
    for (int i = 0; i < 40; ++i) { // enough text that the view can scroll
        Deliver(QByteArray(i % 2 ? "message bob line " : "message carol line ") + QByteArray::number(i));
        expected += QStringLiteral("%1: line %2\n\n").arg(i % 2 ? "bob" : "carol").arg(i);
    }
    EXPECT_EQ(conversation()->toPlainText(), expected); // every one, in order, while hidden
    ExpectAlert(true);

    // Each blink swaps the picture and keeps the alert's tooltip. Relative to the picture before
    // it: the real timer has been running since the first message and may have blinked already.
    for (int blink = 0; blink < 3; ++blink) {
        const bool alertIcon = ShowsAlertIcon();
        window().tray().BlinkTimerProc();
        EXPECT_NE(ShowsAlertIcon(), alertIcon);
        EXPECT_EQ(window().tray().toolTip(), QStringLiteral("QORNC - New message(s)"));
    }
    // The timer does the same by itself, once a second.
    const bool before = ShowsAlertIcon();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsAlertIcon() != before; }, 1500));

    window().OnTrayNotify();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().g_alertActive == 0; }, 2000));
    ExpectAlert(false);
    Settle(1100);
    ExpectAlert(false); // no blink after the stop
    const QScrollBar* bar = conversation()->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    window().OnTrayNotify();
    EXPECT_TRUE(window().isHidden());
}

// Greyed from the normal picture's own pixels: the same shape, no colour left.
TEST_F(TrayAlertTest, TheIconIsGreyedWhileTheLinkIsDownAndTheAlertTakesTurnsWithIt)
{
    const QImage normal = Pixels(TrayIcon::NormalIcon());
    const QImage offline = Pixels(TrayIcon::OfflineIcon());
    EXPECT_TRUE(offline.allGray());
    EXPECT_EQ(offline.convertToFormat(QImage::Format_Alpha8), normal.convertToFormat(QImage::Format_Alpha8));
    EXPECT_NE(offline, normal);
    Start(true);
    ExpectAlert(false);
    server.ResetRequest(); // the server goes away
    ASSERT_TRUE(WaitFor([&] { return state().g_link.g_connected == 0; }));
    ExpectAlert(false, false);
    Deliver("message bob still there?");
    ExpectAlert(true, false);
    window().tray().BlinkTimerProc(); // the alert takes turns with the offline picture
    EXPECT_EQ(Pixels(window().tray().icon()), offline);
    window().OnTrayNotify();
    ASSERT_TRUE(WaitFor([&] { return state().g_alertActive == 0; }));
    ExpectAlert(false, false);
    window().OnConnectButton();
    ASSERT_TRUE(WaitFor([&] { return state().g_link.g_connected == 1; }));
    ExpectAlert(false);
}

TEST_F(TrayAlertTest, MessageWhileActiveStartsNoAlert)
{
    Start(true);
    window().OnTrayNotify();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    // Not even for the one pass that shows it, to be stopped by the next.
    Store("message bob hi");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\n"));
    ExpectAlert(false);
}

}  // namespace
