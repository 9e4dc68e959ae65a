// The idle pump's pass: its steps in their fixed order, each guarded by its flag.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "res/Resources.h"
#include "support/UiFixture.h"

namespace {

class IdlePumpTest : public UiFixture {};

TEST_F(IdlePumpTest, MessageAndPresenceStoredBeforeOnePassAreBothApplied)
{
    WriteList("bob\r\n");
    Start();
    Store("message bob hi");
    Store("getbuddy true bob");
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
    Store("message bob one");
    Store("message amy two");
    window().pump().RunPass();
    EXPECT_EQ(conversation()->toPlainText(), old + QStringLiteral("bob: one\n\namy: two\n\n"));
}

// The Auto-update box decides whether the timer's refreshes go out: unchecked, only the refresh
// after the login is sent; a click brings the timer's refreshes back, another ends them.
TEST_F(IdlePumpTest, AutoUpdateBoxDecidesWhetherTheTimerRefreshes)
{
    WriteList("alice\r\n");
    options.autoRefreshIntervalMs = 50;
    Start();
    ASSERT_TRUE(server.WaitForBlocks("getbuddy", 1));
    Settle(400); // several timer periods
    EXPECT_EQ(server.BlocksStarting("getbuddy").size(), 1u);

    // The window keeps the box hidden and disabled; enabled here, a click runs what its handler does.
    auto* autoUpdate = qobject_cast<QCheckBox*>(window().control(IDC_AUTO_UPDATE));
    autoUpdate->setEnabled(true);
    autoUpdate->click();
    ASSERT_TRUE(autoUpdate->isChecked());
    EXPECT_TRUE(server.WaitForBlocks("getbuddy", 3));

    autoUpdate->click();
    ASSERT_FALSE(autoUpdate->isChecked());
    Settle(100); // what went out before the click arrives
    const std::size_t sent = server.BlocksStarting("getbuddy").size();
    Settle(400);
    EXPECT_EQ(server.BlocksStarting("getbuddy").size(), sent);
}

}  // namespace
