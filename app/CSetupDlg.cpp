#include "app/CSetupDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/SettingsWriter.h"
#include "app/rules/ClientState.h"
#include "app/rules/SettingsFiles.h"
#include "app/rules/SetupRules.h"
#include "res/Resources.h"
#include "ui/ByteLimitValidator.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"
#include "ui/QtBytes.h"
#include "ui/TextCatalog.h"

namespace {

// In bytes, as the values are stored and sent.
constexpr int kNameLimit = 127;
constexpr int kPasswordLimit = 127;
constexpr int kServerLimit = 63;

void LimitBytes(QLineEdit* edit, int limit)
{
    edit->setMaxLength(limit);
    edit->setValidator(new ByteLimitValidator(std::size_t(limit), edit));
}

}  // namespace

CSetupDlg::CSetupDlg(ClientState& state, std::filesystem::path configDir, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
    , m_configDir(std::move(configDir))
    , m_boxes(boxes)
{
    setWindowTitle(Translated(kSetupDialog.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits units = DialogUnits::ForFont(font());
    const QHash<int, QWidget*> controls = BuildControls(kSetupDialog, this, units);
    setFixedSize(units.ToPixels(kSetupDialog.width, kSetupDialog.height));
    m_name = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_NAME));
    m_password = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_PASSWORD));
    m_server = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_SERVER));
    LimitBytes(m_name, kNameLimit);
    LimitBytes(m_password, kPasswordLimit);
    LimitBytes(m_server, kServerLimit);
    m_name->setText(FromBytes(m_state.g_userId.view()));
    m_password->setText(FromBytes(m_state.g_password.view()));
    m_server->setText(FromBytes(m_state.g_serverIp.view()));
    m_password->setEchoMode(QLineEdit::Password);
    connect(qobject_cast<QCheckBox*>(controls.value(IDC_SETUP_SHOW_PASSWORD)), &QCheckBox::toggled, this,
            [this](bool shown) { m_password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    connect(qobject_cast<QPushButton*>(controls.value(IDOK)), &QPushButton::clicked, this, &CSetupDlg::OnOK);
    m_name->setFocus();
}

void CSetupDlg::OnOK()
{
    const SetupCheck check = CheckSetup(ToBytes(m_name->text()), ToBytes(m_password->text()), ToBytes(m_server->text()));
    if (!check.accepted()) {
        m_boxes.Stop(this, FromBytes(check.error));
        return;
    }
    // The password is in it in clear: the file is private whatever mode it had before.
    if (!WriteSettingsFile(m_configDir / "info.cfg", IdentityFileBytes(check.userId, check.password, check.serverIp),
                           FileAccess::OwnerOnly)) {
        // The identity still holds for this run; the user must know it will not survive a restart.
        m_boxes.Information(this, QStringLiteral("Error saving file"));
    }
    m_state.g_userId.assign(check.userId);
    m_state.g_password.assign(check.password);
    m_state.g_serverIp.assign(check.serverIp);
    accept();
}

void CSetupDlg::closeEvent(QCloseEvent* event)
{
    event->ignore(); // the close box does nothing; Escape cancels
}
