// What the status line tells and what the Online list keeps stay true to what happened since:
// a refusal goes once its action succeeds, and the contacts selected before the link went down
// are selected again when they come back.
#include <QTest>

#include <set>

#include "support/UiFixture.h"
#include "support/NulText.h"

namespace {

class StatusTruthTest : public UiFixture {
protected:
    void Enter(const QString& text)
    {
        input()->setText(text);
        input()->setFocus();
        QTest::keyClick(input(), Qt::Key_Return);
    }
    [[nodiscard]] std::set<std::string> SelectedNames()
    {
        std::set<std::string> names;
        for (const int row : SelectedRows())
            names.insert(online()->item(row)->text().toStdString());
        return names;
    }
};

}  // namespace

TEST_F(StatusTruthTest, ARefusalGoesOnceItsOwnActionSucceeds)
{
    const QString quiet = QStringLiteral("No status messages.");
    const QString nobody = QStringLiteral("Not sent: select who to send to in the Online list.");
    const QString full = QStringLiteral("Message full at 128 bytes: the rest was left out.");
    enum class Refused { Enter, Paste };
    struct Row {
        const char* name;
        Refused refuse;
        QString refusal;
        bool sendAfter; // else Update list, a success of another action
        QString after;
    };
    const Row rows[] = {
        {"Enter with nobody selected, then a send", Refused::Enter, nobody, true, quiet},
        {"typing past the limit, then a send", Refused::Paste, full, true, quiet},
        {"a refused Enter outlives a refresh", Refused::Enter, nobody, false, nobody},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        app.reset();
        WriteList("echo\r\n");
        Start();
        DeliverPresence({"echo"}, true);
        online()->clearSelection();
        if (row.refuse == Refused::Enter) {
            Enter("hi");
        } else {
            input()->setFocus();
            input()->setText(QString(127, QLatin1Char('a')));
            QTest::keyClicks(input(), QStringLiteral("bc"));
        }
        ASSERT_EQ(status(), row.refusal);
        if (row.sendAfter) {
            SelectRows({0});
            const std::size_t sent = server.BlocksStarting("message").size();
            QTest::keyClick(input(), Qt::Key_Return);
            ASSERT_TRUE(server.WaitForBlocks("message", sent + 1));
        } else {
            const std::size_t asked = server.BlocksStarting("getbuddy").size();
            QTest::mouseClick(button(IDC_UPDATE_LIST), Qt::LeftButton);
            ASSERT_TRUE(server.WaitForBlocks("getbuddy", asked + 1));
        }
        EXPECT_EQ(status(), row.after);
    }
}

TEST_F(StatusTruthTest, TheSelectionComesBackByNameAfterTheLinkReturns)
{
    enum class Down { Disconnect, ServerLost };
    struct Row {
        const char* name;
        Down down;
        bool userSelectsFirst; // the user chooses anew before the names come back
        std::set<std::string> selected;
    };
    const Row rows[] = {
        {"Disconnect and Connect", Down::Disconnect, false, {"alice", "carol"}},
        {"a lost server and Connect", Down::ServerLost, false, {"alice", "carol"}},
        {"a new choice wins", Down::Disconnect, true, {"bob"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        app.reset();
        WriteList("alice\r\nbob\r\ncarol\r\n");
        Start();
        DeliverPresence({"alice", "bob", "carol"}, true);
        SelectRows({0, 2});
        if (row.down == Down::Disconnect)
            QTest::mouseClick(button(IDC_DISCONNECT), Qt::LeftButton);
        else
            server.ResetRequest();
        ASSERT_TRUE(WaitFor([this] { return online()->count() == 0; }));
        QTest::mouseClick(button(IDCANCEL), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([this] { return state().g_link.g_connected == 1; }));
        DeliverPresence({"bob"}, true);
        if (row.userSelectsFirst)
            SelectRows({0});
        DeliverPresence({"carol", "alice"}, true); // in another order, at other rows
        EXPECT_EQ(SelectedNames(), row.selected);
        const std::size_t sent = server.BlocksStarting("message").size();
        Enter("back");
        ASSERT_TRUE(server.WaitForBlocks("message", sent + row.selected.size()));
        EXPECT_NE(status().left(9), QStringLiteral("Not sent:"));
    }
}
