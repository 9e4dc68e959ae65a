// The setup dialog: its checks in order, what it saves, and the ways it can be left.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "app/CSetupDlg.h"
#include "res/Resources.h"
#include "support/UiFixture.h"

namespace {

class SetupDlgTest : public UiFixture {
protected:
    std::unique_ptr<CSetupDlg> MakeDialog(std::string_view name = "old", std::string_view password = "oldpw")
    {
        m_state.g_userId.assign(name);
        m_state.g_password.assign(password);
        m_state.g_serverIp.assign("127.0.0.2");
        auto dialog = std::make_unique<CSetupDlg>(m_state, dir.path(), boxes);
        dialog->show();
        return dialog;
    }
    ClientState m_state;
};

// Refused values show the first problem and change nothing; accepted ones are saved privately
// with the bytes they came with, unless the user typed over them.
TEST_F(SetupDlgTest, RefusesInOrderOrSavesPrivatelyWithTheirBytes)
{
    struct Case {
        std::string name, password; // as the dialog opens with them
        QString typedName, typedPassword, typedServer;
        const char* error;
        std::string savedName;
    };
    const QString ip = QStringLiteral("12345678901234567890123"); // 23 characters still fit
    const Case cases[] = {
        {"old", "pw", "default", "", "127.0.0.4", "Use a different name.", ""},
        {"old", "pw", "me", "default", "", "Use a different password.", ""},
        {"old", "pw", "me", "pw", "", "Specify a server IP.", ""},
        {"old", "pw", "me", "pw", ip + "4", "Server IP is too long.", ""},
        {"old", "pw", QString(100, QChar(0xe9)), {}, ip, "The name and password together are too long: at most 55 characters.", ""},
        {"old", "pass word", "my name", {}, ip, "", "my_name"},
        {"Jos\xe9", "p\xc2\xa0w\xff", {}, {}, ip, "", "Jos\xe9"},
    };
    WriteBytes(dir / "info.cfg", "loosened");
    std::filesystem::permissions(dir / "info.cfg", std::filesystem::perms(0644));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedName.toStdString() + "|" + c.error);
        boxes.boxes.clear();
        auto dialog = MakeDialog(c.name, c.password);
        for (const auto& [edit, typed] : {std::pair{dialog->nameEdit(), c.typedName},
                                          {dialog->passwordEdit(), c.typedPassword}, {dialog->serverEdit(), c.typedServer}}) {
            if (!typed.isNull()) {
                edit->clear(); // then key by key, as a user does, so the field's own limit applies
                TypeKeys(edit, typed);
            }
        }
        EXPECT_LE(dialog->nameEdit()->text().toUtf8().size(), 127); // the field counts bytes, not characters
        dialog->OnOK();
        const bool accepted = std::string(c.error).empty();
        EXPECT_EQ(boxes.texts(), accepted ? QStringList() : QStringList{c.error});
        EXPECT_EQ(dialog->isVisible(), !accepted);
        EXPECT_EQ(m_state.g_userId.str(), accepted ? c.savedName : c.name);
        EXPECT_EQ(ReadBytes(dir / "info.cfg"), accepted ? "userid " + c.savedName + "\r\npassword " + c.password +
                                                              "\r\nserverip " + ip.toStdString() + "\r\n"
                                                        : "loosened");
        EXPECT_EQ(ModeOf(dir / "info.cfg"), accepted ? 0600u : 0644u);
    }
}

// The password shows as bullets until the user asks to see it, and the box that shows it fits in
// the dialog beside the others.
TEST_F(SetupDlgTest, PasswordIsMaskedUntilShown)
{
    auto dialog = MakeDialog("old", "secret");
    auto* show = dialog->findChild<QCheckBox*>();
    ASSERT_NE(show, nullptr);
    const QString masked = dialog->passwordEdit()->displayText();
    EXPECT_EQ(masked.size(), 6);
    EXPECT_FALSE(masked.contains(QLatin1Char('s')));
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(dialog->passwordEdit()->displayText(), QStringLiteral("secret"));
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(dialog->passwordEdit()->displayText(), masked);
    for (QWidget* other : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(dialog->rect().contains(other->geometry())) << other->metaObject()->className();
        EXPECT_TRUE(other == show || !other->geometry().intersects(show->geometry())) << other->metaObject()->className();
    }
}

TEST_F(SetupDlgTest, CloseBoxDoesNothingAndEscapeCancelsWithoutSaving)
{
    auto dialog = MakeDialog();
    dialog->nameEdit()->setText(QStringLiteral("new"));
    EXPECT_FALSE(dialog->close()); // the close box's way
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(std::filesystem::exists(dir / "info.cfg"));
}

TEST_F(SetupDlgTest, UnwritableInfoIsReportedAndTheIdentityStillHolds)
{
    std::filesystem::create_directory(dir / "info.cfg");
    auto dialog = MakeDialog();
    dialog->nameEdit()->setText(QStringLiteral("new"));
    dialog->OnOK();
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Error saving file")});
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_state.g_userId.str(), "new");
}

TEST_F(SetupDlgTest, OptionsOpensOnlyWhileDisconnected)
{
    Start();
    for (const bool connected : {true, false}) {
        if (!connected)
            window().OnDisconnectButton();
        const ModalWatcher watcher([](QDialog* dialog) {
            EXPECT_NE(qobject_cast<CSetupDlg*>(dialog), nullptr);
            dialog->reject();
        });
        window().OnOptions();
        EXPECT_EQ(watcher.seen(), !connected);
    }
    EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Disconnect before setting options.")});
}

}  // namespace
