// A connect to a host that does not answer, as a person meets it: the window goes on at once,
// says where it is connecting with Connect disabled, and the attempt ends by Disconnect, by Exit
// or by its bound, never by freezing the window.
#include <QElapsedTimer>
#include <QTest>

#include "support/UiFixture.h"
#include "support/StalledPort.h"

namespace {

class ConnectAttemptTest : public UiFixture {};

enum class End { Disconnect, Exit, Bound };

}  // namespace

TEST_F(ConnectAttemptTest, AnUnansweredConnectKeepsTheWindowGoingUntilItEnds)
{
    const QString connecting = QStringLiteral("Connecting to 127.0.0.1...");
    struct Row {
        const char* name;
        End end;
        QString status;
    };
    const Row rows[] = {
        {"Disconnect", End::Disconnect, QStringLiteral("Not connected: the attempt was abandoned.")},
        {"Exit", End::Exit, connecting},
        {"bound", End::Bound, QStringLiteral("Can't connect: Error code WSAETIMEDOUT.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StalledPort stalled;
        ASSERT_TRUE(stalled.ready());
        app.reset();
        options.serverPort = stalled.port();
        options.connectTimeoutMs = row.end == End::Bound ? 400 : 60000;
        awaitConnect = false;
        QElapsedTimer opened;
        opened.start();
        Start();
        EXPECT_LT(opened.elapsed(), 1000) << "the start-up connect held the window";
        EXPECT_EQ(status(), connecting);
        EXPECT_FALSE(button(IDCANCEL)->isEnabled());
        EXPECT_TRUE(button(IDC_DISCONNECT)->isEnabled());
        switch (row.end) {
        case End::Disconnect:
            QTest::mouseClick(button(IDC_DISCONNECT), Qt::LeftButton);
            Settle(600);
            EXPECT_TRUE(button(IDCANCEL)->isEnabled());
            EXPECT_FALSE(button(IDC_DISCONNECT)->isEnabled());
            // Connect starts a new attempt, told the same way, and gives the window back at once.
            opened.restart();
            QTest::mouseClick(button(IDCANCEL), Qt::LeftButton);
            EXPECT_LT(opened.elapsed(), 1000);
            EXPECT_EQ(status(), connecting);
            EXPECT_FALSE(button(IDCANCEL)->isEnabled());
            QTest::mouseClick(button(IDC_DISCONNECT), Qt::LeftButton);
            break;
        case End::Exit:
            QTest::mouseClick(button(IDOK), Qt::LeftButton);
            EXPECT_TRUE(window().hasExited());
            EXPECT_FALSE(window().isVisible());
            break;
        case End::Bound:
            EXPECT_TRUE(WaitFor([this] { return status() != QStringLiteral("Connecting to 127.0.0.1..."); }, 3000));
            EXPECT_TRUE(button(IDCANCEL)->isEnabled());
            EXPECT_FALSE(button(IDC_DISCONNECT)->isEnabled());
            break;
        }
        EXPECT_EQ(status(), row.status);
        EXPECT_FALSE(app->server().isConnecting());
    }
}
