// The idle pump's pass: its steps in their fixed order, each guarded by its flag.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "support/UiFixture.h"
#include "presence/rules/NotificationHandler.h"
#include "res/Resources.h"

namespace {

class IdlePumpTest : public UiFixture {};

TEST_F(IdlePumpTest, MessageAndPresenceStoredBeforeOnePassAreBothApplied)
{
    WriteList("bob\r\n");
    Start();
    HandleNotification(state(), "message bob hi");
    HandleNotification(state(), "getbuddy true bob");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\n"));
    ASSERT_EQ(online()->count(), 1);
    EXPECT_EQ(online()->item(0)->text(), QStringLiteral("bob"));
    EXPECT_EQ(state().g_messageArrived, 0);
    EXPECT_EQ(state().g_onlineRebuildDue, 0);
    // Two messages of one pass just below the view's limit: it may start over before them, never
    // between them, or the first would be gone before it was ever on screen.
    const QString old(2990, QLatin1Char('o'));
    conversation()->setPlainText(old);
    HandleNotification(state(), "message bob one");
    HandleNotification(state(), "message amy two");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), old + QStringLiteral("bob: one\n\namy: two\n\n"));
}

TEST_F(IdlePumpTest, UncheckedAutoUpdateRefreshesOnceAfterStart)
{
    WriteList("alice\r\n");
    options.autoRefreshIntervalMs = 50;
    Start();
    ASSERT_TRUE(server.WaitForBlocks("getbuddy", 1));
    Settle(400); // several timer periods
    EXPECT_EQ(server.BlocksStarting("getbuddy").size(), 1u);
    EXPECT_EQ(state().g_autoRefresh, 0);

    // Checked, the timer keeps refreshing.
    qobject_cast<QCheckBox*>(window().control(IDC_AUTO_UPDATE))->setChecked(true);
    state().g_autoRefresh = 1;
    EXPECT_TRUE(server.WaitForBlocks("getbuddy", 3));
}

}  // namespace
