// Chatting: presence refreshes from the contact list, the Online list and its selection,
// sending to the selected contacts, the conversation view and editing the contact list.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "UiFixture.h"
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

// What the view shows as sent is what the server got: the input line takes only the 128 bytes
// that fit (a no-break space and 127 é are 128 characters, 256 bytes), keeps them as typed, and
// says so when a keystroke or a paste did not fit.
TEST_F(ChattingTest, EnterSendsToEverySelectedContactWithOneEntry)
{
    const QString full = QStringLiteral("The message is at its limit of 128 bytes: what did not fit was left out.");
    StartWith("alice\r\nbob\r\ncarol\r\n");
    DeliverPresence({"carol", "alice", "bob"}, true);
    SelectRows({2, 0, 1});
    input()->setFocus();
    for (const QChar c : QStringLiteral("\u00a0") + QString(127, QChar(0xe9))) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(input(), &press);
    }
    EXPECT_EQ(status(), full);
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_TRUE(server.WaitForBlocks("message", 3));
    std::string typed = "\xc2\xa0";
    for (int i = 0; i < 63; ++i)
        typed += "\xc3\xa9";
    EXPECT_EQ(Texts(server.BlocksStarting("message"), 256),
              (std::vector<std::string>{"message me pw alice " + typed, "message me pw bob " + typed,
                                        "message me pw carol " + typed}));
    EXPECT_EQ(conversation()->document()->toRawText().toUtf8().toStdString(), "me: " + typed + "\u2029\u2029");
    EXPECT_TRUE(input()->text().isEmpty());
    EXPECT_TRUE(window().isVisible());

    control<QLineEdit>(IDC_STATUS)->clear();
    QApplication::clipboard()->setText(QString(129, QLatin1Char('x')));
    input()->paste();
    EXPECT_EQ(status(), full);
}

TEST_F(ChattingTest, SendRefusedWhileQueryPendingOrNobodySelected)
{
    StartWith("alice\r\n");
    DeliverPresence({"alice"}, true);
    for (const int pending : {1, 0}) {
        state().g_queryPending = pending;
        online()->clearSelection();
        if (pending == 1)
            SelectRows({0});
        input()->setText(QStringLiteral("wait"));
        window().OnSendMessage();
        Settle(50);
        EXPECT_EQ(input()->text(), QStringLiteral("wait"));
        EXPECT_TRUE(conversation()->toPlainText().isEmpty());
    }
    EXPECT_TRUE(server.BlocksStarting("message").empty());
}

TEST_F(ChattingTest, ContactEditorRefusesTextBeyondItsCapacityInBytes)
{
    StartWith("");
    window().OnEditListButton();
    // As stored: "Ann", a no-break space (2 bytes), "Lee", CR LF, 2040 é (2 bytes each), "a", CR LF:
    // 4093 bytes, the editor's capacity.
    const QString full = QStringLiteral("Ann\u00a0Lee\n") + QString(2040, QChar(0xe9)) + QStringLiteral("a\n");
    contacts()->setPlainText(full);
    contacts()->moveCursor(QTextCursor::End);
    QTest::keyClicks(contacts(), QStringLiteral("b"));
    EXPECT_EQ(contacts()->document()->toRawText().replace(QChar::ParagraphSeparator, '\n'), full);
    EXPECT_TRUE(status().contains(QStringLiteral("contact list is full"))) << status().toStdString();
}

}  // namespace
