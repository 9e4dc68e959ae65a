// Chatting: presence refreshes from the contact list, the Online list and its selection,
// sending to the selected contacts, the conversation view and editing the contact list.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "UiFixture.h"
#include "net/NotificationHandler.h"
#include "presence/ContactText.h"
#include "res/Resources.h"

namespace {

class ChattingTest : public UiFixture {
protected:
    void StartWith(std::string_view list)
    {
        WriteList(list);
        Start();
    }
    std::vector<std::string> Texts(const std::vector<RequestRecord>& blocks, std::size_t size)
    {
        std::vector<std::string> texts;
        for (const RequestRecord& block : blocks) {
            EXPECT_EQ(block.size, size) << block.text;
            texts.push_back(block.text);
        }
        return texts;
    }
};

TEST_F(ChattingTest, RefreshAsksForEveryEndedLine)
{
    struct Case {
        std::string list;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"alice\r\nbob\r\ncarol\r\n",
         {"getbuddy me pw alice", "getbuddy me pw bob", "getbuddy me pw bob", "getbuddy me pw carol",
          "getbuddy me pw carol"}},
        {"alice\r\nbob", {"getbuddy me pw alice"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        FakeServer fresh;
        options.serverPort = fresh.port();
        StartWith(c.list);
        if (!c.asked.empty()) {
            ASSERT_TRUE(fresh.WaitForBlocks("getbuddy", c.asked.size()));
        }
        Settle();
        EXPECT_EQ(Texts(fresh.BlocksStarting("getbuddy"), 128), c.asked);
        EXPECT_EQ(fresh.Blocks().size(), c.asked.size() + 1); // the login and nothing else
        app.reset();
    }
}

TEST_F(ChattingTest, RefreshAfterDisconnectReportsNotConnected)
{
    StartWith("alice\r\n");
    window().OnDisconnectButton();
    QTest::mouseClick(button(IDC_UPDATE_LIST), Qt::LeftButton);
    EXPECT_EQ(status(), QStringLiteral("Message send error: WSAENOTCONN."));
}

TEST_F(ChattingTest, OnlineListSortedAndEmptiedWhenTheLastGoesOffline)
{
    StartWith("bob\r\nAlice\r\ncarol\r\nALAN\r\n");
    DeliverPresence({"carol", "bob", "ALAN", "Alice"}, true);
    QStringList shown;
    for (int row = 0; row < online()->count(); ++row)
        shown.append(online()->item(row)->text());
    EXPECT_EQ(shown, (QStringList{"ALAN", "Alice", "bob", "carol"}));
    DeliverPresence({"carol", "bob", "ALAN", "Alice"}, false);
    EXPECT_EQ(online()->count(), 0);
}

TEST_F(ChattingTest, SelectionRestoredByPositionAfterARefresh)
{
    StartWith("alice\r\nbob\r\ncarol\r\n");
    DeliverPresence({"alice", "bob", "carol"}, true);
    Settle(kRestoreSelectionDelayMs + 100); // the start-up refresh's restore is behind us
    SelectRows({0, 2});
    const std::size_t asked = server.BlocksStarting("getbuddy").size();
    QTest::mouseClick(button(IDC_UPDATE_LIST), Qt::LeftButton);
    ASSERT_TRUE(server.WaitForBlocks("getbuddy", asked + 5));
    DeliverPresence({"alice", "bob", "carol"}, true); // each answer rebuilds the list, unselected
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return SelectedRows() == std::vector<int>{0, 2}; }, 2000));
}

TEST_F(ChattingTest, EnterSendsToEverySelectedContactWithOneEntry)
{
    StartWith("alice\r\nbob\r\ncarol\r\n");
    DeliverPresence({"carol", "alice", "bob"}, true);
    ASSERT_EQ(state().g_queryPending, 0);
    SelectRows({2, 0, 1});
    input()->setFocus();
    QTest::keyClicks(input(), QStringLiteral("hi all"));
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_TRUE(server.WaitForBlocks("message", 3));
    EXPECT_EQ(Texts(server.BlocksStarting("message"), 256),
              (std::vector<std::string>{"message me pw alice hi all", "message me pw bob hi all",
                                        "message me pw carol hi all"}));
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("me: hi all\n\n"));
    EXPECT_TRUE(input()->text().isEmpty());
    EXPECT_TRUE(window().isVisible());
}

TEST_F(ChattingTest, MessageStoredDuringASendIsAppliedAfterIt)
{
    // The send rewrites the conversation; a pass that ran inside that rewrite would rewrite it
    // again half-way through.
    StartWith("alice\r\n");
    DeliverPresence({"alice"}, true);
    SelectRows({0});
    input()->setText(QStringLiteral("hello"));
    HandleNotification(state(), "message alice hi"); // read, not yet applied
    window().OnSendMessage();
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("me: hello\n\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return state().g_messageArrived == 0; }, 1000));
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("me: hello\n\nalice: hi\n\n"));
}

TEST_F(ChattingTest, SendRefusedWhileQueryPendingOrNobodySelected)
{
    StartWith("alice\r\n");
    DeliverPresence({"alice"}, true);
    struct Case {
        int pending;
        bool select;
    };
    for (const Case c : {Case{1, true}, Case{0, false}}) {
        SCOPED_TRACE(c.pending);
        state().g_queryPending = c.pending;
        online()->clearSelection();
        if (c.select)
            SelectRows({0});
        input()->setText(QStringLiteral("wait"));
        window().OnSendMessage();
        Settle(50);
        EXPECT_EQ(input()->text(), QStringLiteral("wait"));
        EXPECT_TRUE(conversation()->toPlainText().isEmpty());
    }
    EXPECT_TRUE(server.BlocksStarting("message").empty());
}

TEST_F(ChattingTest, ServerNamedByHostNameCanDeliver)
{
    WriteInfo("me", "pw", "localhost"); // no peer address ever equals a name
    Start();
    ASSERT_EQ(state().g_link.g_connected, 1);
    Deliver("message bob hi");
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("bob: hi\n\n"));
}

TEST_F(ChattingTest, FinishingAnEditEndsTheLastLine)
{
    StartWith("");
    window().OnEditListButton();
    contacts()->setPlainText(QStringLiteral("alice\nbob"));
    window().OnEditListButton();
    EXPECT_EQ(contacts()->toPlainText(), QStringLiteral("alice\nbob\n"));
    window().SnapshotTimerProc();
    EXPECT_EQ(state().g_contactSnapshot.str(), "alice\r\nbob\r\n");
}

TEST_F(ChattingTest, ContactEditorRefusesTextBeyondItsCapacity)
{
    StartWith("");
    window().OnEditListButton();
    // A line end counts two bytes as stored: 4091 + CR LF fills the editor exactly.
    const QString full = QString(int(kContactEditLimit) - 2, QLatin1Char('a')) + QLatin1Char('\n');
    contacts()->setPlainText(full);
    ASSERT_EQ(contacts()->toPlainText(), full);
    contacts()->moveCursor(QTextCursor::End);
    QTest::keyClicks(contacts(), QStringLiteral("b"));
    EXPECT_EQ(contacts()->toPlainText(), full);
    contacts()->moveCursor(QTextCursor::Start);
    QTest::keyClick(contacts(), Qt::Key_Delete);
    QTest::keyClicks(contacts(), QStringLiteral("b")); // room again after a deletion
    EXPECT_EQ(contacts()->toPlainText(), QStringLiteral("b") + full.mid(1));
}

}  // namespace
