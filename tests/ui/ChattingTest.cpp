// Chatting: presence refreshes from the contact list, the Online list and its selection,
// sending to the selected contacts, the conversation view and editing the contact list.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "res/Resources.h"
#include "support/UiFixture.h"
#include "ui/rules/MessageSend.h"

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

// What the view shows as sent is what the server got: the input line takes only the 128 bytes
// that fit (a no-break space and 127 é are 128 characters, 256 bytes), keeps them as typed, and
// says so when a keystroke or a paste did not fit.
TEST_F(ChattingTest, EnterSendsToEverySelectedContactWithOneEntry)
{
    const QString full = QStringLiteral("Message full at 128 bytes: the rest was left out.");
    StartWith("alice\r\nbob\r\ncarol\r\n");
    DeliverPresence({"carol", "alice", "bob"}, true);
    SelectRows({2, 0, 1});
    input()->setFocus();
    TypeKeys(input(), QStringLiteral("\u00a0") + QString(127, QChar(0xe9)));
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

// A line that can go nowhere says why and stays in the input line.
TEST_F(ChattingTest, EnterWithNobodyToSendToSaysSoAndKeepsTheLine)
{
    StartWith("alice\r\n");
    DeliverPresence({"alice"}, true);
    const std::pair<std::function<void()>, std::string_view> cases[] = {
        {[&] { SelectRows({0}); QTest::mouseClick(button(IDC_UPDATE_LIST), Qt::LeftButton); }, kAwaitingPresenceText},
        {[&] { DeliverPresence({"alice"}, true); SelectRows({}); }, kNobodySelectedText},
        {[&] { DeliverPresence({"alice"}, false); }, kNobodyOnlineText},
        {[&] { window().OnDisconnectButton(); }, kNotConnectedText},
    };
    for (const auto& [act, told] : cases) {
        SCOPED_TRACE(told);
        act();
        input()->setText(QStringLiteral("wait"));
        QTest::keyClick(input(), Qt::Key_Return);
        Settle(50);
        EXPECT_EQ(status().toStdString(), told);
        EXPECT_EQ(input()->text(), QStringLiteral("wait"));
        EXPECT_TRUE(conversation()->toPlainText().isEmpty());
    }
    EXPECT_TRUE(server.BlocksStarting("message").empty());
}

// A peer writing in a single-byte code page reads as written, sorted among the others as a list
// box sorts, and is answered by its name's bytes. Its server leaves the NUL out: the text still
// arrives, when the connection closes.
TEST_F(ChattingTest, Windows1252PeersReadAsWrittenAndAreAnsweredByTheirBytes)
{
    StartWith("Ren\xe9\r\nbob\r\nALAN\r\n");
    for (const QByteArray name : {"Ren\xe9", "bob", "ALAN"})
        Deliver("getbuddy true " + name);
    server.DeliverAndClose(app->listener().port(), "message Ren\xe9 caf\xe9 cr\xe8me");
    ASSERT_TRUE(WaitFor([&] { return !conversation()->toPlainText().isEmpty() && online()->count() == 3; }));
    EXPECT_EQ(conversation()->toPlainText(), QStringLiteral("Ren\u00e9: caf\u00e9 cr\u00e8me\n\n"));
    QStringList shown;
    for (int row = 0; row < online()->count(); ++row)
        shown.append(online()->item(row)->text());
    EXPECT_EQ(shown, (QStringList{"ALAN", "bob", QStringLiteral("Ren\u00e9")}));
    SelectRows({2});
    input()->setText(QStringLiteral("merci"));
    QTest::keyClick(input(), Qt::Key_Return);
    ASSERT_TRUE(server.WaitForBlocks("message", 1));
    EXPECT_EQ(server.BlocksStarting("message").front().text, "message me pw Ren\xe9 merci");
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
    EXPECT_TRUE(status().contains(QStringLiteral("Contact list full"))) << status().toStdString();
}

}  // namespace
