// The tray: the two icons' pictures, the window behind the icon until it is clicked, and the
// icon blinking while a message waits unseen.
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "UiFixture.h"
#include "net/NotificationHandler.h"

namespace {

QImage Pixels(const QIcon& icon)
{
    return icon.pixmap(32).toImage();
}

class TrayAlertTest : public UiFixture {
protected:
    [[nodiscard]] bool ShowsAlertIcon() { return Pixels(window().tray().icon()) == Pixels(TrayIcon::AlertIcon()); }
    void ExpectAlert(bool on)
    {
        EXPECT_EQ(window().tray().toolTip(), on ? QStringLiteral("QORNC - New message(s)") : QStringLiteral("QORNC"));
        EXPECT_EQ(Pixels(window().tray().icon()), Pixels(on ? TrayIcon::AlertIcon() : TrayIcon::NormalIcon()));
        EXPECT_EQ(state().g_alertActive, on ? 1 : 0);
    }
};

TEST_F(TrayAlertTest, MessagesWhileHiddenShowInOrderAndBlinkUntilTheWindowIsActive)
{
    // Two pictures to tell apart, or the blink shows nothing.
    const QImage normal = Pixels(TrayIcon::NormalIcon());
    EXPECT_EQ(normal.size(), QSize(32, 32));
    EXPECT_EQ(Pixels(TrayIcon::AlertIcon()).size(), QSize(32, 32));
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

TEST_F(TrayAlertTest, MessageWhileActiveStartsNoAlert)
{
    Start(false);
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    // Not even for the one pass that shows it, to be stopped by the next.
    HandleNotification(state(), "message bob hi");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\n"));
    ExpectAlert(false);
}

}  // namespace
