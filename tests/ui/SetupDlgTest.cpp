// The setup dialog: its checks in order, what it saves, and the ways it can be left.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include "UiFixture.h"
#include "app/CSetupDlg.h"
#include "res/Resources.h"

namespace {

class SetupDlgTest : public UiFixture {
protected:
    std::unique_ptr<CSetupDlg> MakeDialog(std::string_view name = "old", std::string_view password = "oldpw")
    {
        m_state.g_userId.assign(name);
        m_state.g_password.assign(password);
        m_state.g_serverIp.assign("10.0.0.1");
        auto dialog = std::make_unique<CSetupDlg>(m_state, dir.path(), boxes);
        dialog->show();
        return dialog;
    }
    static void Fill(CSetupDlg& dialog, const char* name, const char* password, const char* serverIp)
    {
        dialog.nameEdit()->setText(QString::fromUtf8(name));
        dialog.passwordEdit()->setText(QString::fromUtf8(password));
        dialog.serverEdit()->setText(QString::fromUtf8(serverIp));
    }
    ClientState m_state;
};

TEST_F(SetupDlgTest, RefusesInOrderAndKeepsEverything)
{
    struct Case {
        const char *name, *password, *serverIp, *error;
    };
    const Case cases[] = {
        {"", "", "", "Use a different name."},
        {"default", "", "1.2.3.4", "Use a different name."},
        {"me", "", "1.2.3.4", "Use a different password."},
        {"me", "default", "", "Use a different password."},
        {"me", "pw", "", "Specify a server IP."},
        {"me", "pw", "123456789012345678901234", "Server IP is too long."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        boxes.boxes.clear();
        auto dialog = MakeDialog();
        Fill(*dialog, c.name, c.password, c.serverIp);
        dialog->OnOK();
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].kind, QStringLiteral("stop"));
        EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(c.error));
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(m_state.g_userId.str(), "old");
        EXPECT_EQ(m_state.g_serverIp.str(), "10.0.0.1");
        EXPECT_FALSE(std::filesystem::exists(dir / "info.cfg"));
    }
}

TEST_F(SetupDlgTest, AcceptedValuesAreSavedPrivatelyWithTheirBytes)
{
    struct Case {
        const char* label;
        std::string name, password; // as the dialog opens with them
        QString typedName;          // typed over the name, when not empty
        std::string savedName;
    };
    std::string sixtyThree;
    for (int i = 0; i < 63; ++i)
        sixtyThree += "\xc3\xa9";
    const Case cases[] = {
        {"spaces", "old", "pass word", QStringLiteral("my name"), "my_name"},
        {"untouched Latin-1 and no-break space", "Jos\xe9", "p\xc2\xa0w\xff", {}, "Jos\xe9"},
        {"typed past 127 bytes", "old", "pw", QString(100, QChar(0xe9)), sixtyThree},
    };
    WriteBytes(dir / "info.cfg", "loosened");
    std::filesystem::permissions(dir / "info.cfg", std::filesystem::perms(0644));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto dialog = MakeDialog(c.name, c.password);
        dialog->serverEdit()->setText(QStringLiteral("12345678901234567890123")); // 23 characters still fit
        if (!c.typedName.isEmpty()) {
            dialog->nameEdit()->clear();
            for (const QChar ch : c.typedName) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(dialog->nameEdit(), &press);
            }
        }
        dialog->OnOK();
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_state.g_userId.str(), c.savedName);
        EXPECT_EQ(m_state.g_password.str(), c.password);
        EXPECT_EQ(ReadBytes(dir / "info.cfg"), "userid " + c.savedName + "\r\npassword " + c.password +
                                                    "\r\nserverip 12345678901234567890123\r\n");
        EXPECT_EQ(ModeOf(dir / "info.cfg"), 0600u);
    }
}

TEST_F(SetupDlgTest, CloseBoxDoesNothingAndEscapeCancelsWithoutSaving)
{
    auto dialog = MakeDialog();
    Fill(*dialog, "new", "newpw", "1.2.3.4");
    EXPECT_FALSE(dialog->close()); // the close box's way
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(m_state.g_userId.str(), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "info.cfg"));
}

TEST_F(SetupDlgTest, UnwritableInfoIsReportedAndTheIdentityStillHolds)
{
    std::filesystem::create_directory(dir / "info.cfg");
    WriteBytes(dir / "info.cfg" / "keep", "x");
    auto dialog = MakeDialog();
    Fill(*dialog, "new", "newpw", "1.2.3.4");
    dialog->OnOK();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Error saving file"));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_state.g_userId.str(), "new");
    EXPECT_EQ(m_state.g_serverIp.str(), "1.2.3.4");
}

QAction* MenuAction(CClientDlg& window, int command)
{
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->data().toInt() == command)
                return item;
        }
    }
    return nullptr;
}

TEST_F(SetupDlgTest, OptionsOpensOnlyWhileDisconnected)
{
    Start();
    QAction* options_ = MenuAction(window(), ID_OPTIONS);
    ASSERT_NE(options_, nullptr);
    {
        const ModalWatcher watcher([](QDialog* dialog) { dialog->reject(); });
        options_->trigger();
        EXPECT_FALSE(watcher.seen());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].kind, QStringLiteral("information"));
        EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Disconnect before setting options."));
    }
    window().OnDisconnectButton();
    const ModalWatcher watcher([](QDialog* dialog) {
        EXPECT_NE(qobject_cast<CSetupDlg*>(dialog), nullptr);
        dialog->reject();
    });
    options_->trigger();
    EXPECT_TRUE(watcher.seen());
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

}  // namespace
