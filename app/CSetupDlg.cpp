#include "app/CSetupDlg.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/ClientState.h"
#include "app/SettingsFiles.h"
#include "app/SetupRules.h"
#include "res/Resources.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kNameLimit = 127;
constexpr int kPasswordLimit = 127;
constexpr int kServerLimit = 63;

QString FromBytes(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string ToBytes(const QLineEdit* edit)
{
    return edit->text().toUtf8().toStdString();
}

}  // namespace

CSetupDlg::CSetupDlg(ClientState& state, std::filesystem::path configDir, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent)
    , m_state(state)
    , m_configDir(std::move(configDir))
    , m_boxes(boxes)
{
    setWindowTitle(FromBytes(kSetupDialog.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const DialogUnits units = DialogUnits::ForFont(font());
    const QHash<int, QWidget*> controls = BuildControls(kSetupDialog, this, units);
    setFixedSize(units.ToPixels(kSetupDialog.width, kSetupDialog.height));
    m_name = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_NAME));
    m_password = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_PASSWORD));
    m_server = qobject_cast<QLineEdit*>(controls.value(IDC_SETUP_SERVER));
    m_name->setMaxLength(kNameLimit);
    m_password->setMaxLength(kPasswordLimit);
    m_server->setMaxLength(kServerLimit);
    m_name->setText(FromBytes(m_state.g_userId.view()));
    m_password->setText(FromBytes(m_state.g_password.view()));
    m_server->setText(FromBytes(m_state.g_serverIp.view()));
    connect(qobject_cast<QPushButton*>(controls.value(IDOK)), &QPushButton::clicked, this, &CSetupDlg::OnOK);
    m_name->setFocus();
}

void CSetupDlg::OnOK()
{
    const SetupCheck check = CheckSetup(ToBytes(m_name), ToBytes(m_password), ToBytes(m_server));
    if (!check.accepted()) {
        m_boxes.Stop(this, FromBytes(check.error));
        return;
    }
    if (!WriteIdentity(m_configDir / "info.cfg", check.userId, check.password, check.serverIp)) {
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
