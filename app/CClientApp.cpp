#include "app/CClientApp.h"

#include <QApplication>

#include "app/CSetupDlg.h"
#include "app/ExitSignals.h"
#include "app/SettingsWriter.h"
#include "app/SingleCopyHandOver.h"
#include "app/SingleCopyLock.h"
#include "app/rules/SettingsFiles.h"
#include "app/rules/SetupRules.h"
#include "presence/rules/ContactListFile.h"
#include "presence/rules/NotificationHandler.h"
#include "ui/MessageBoxes.h"

CClientApp::CClientApp(ClientAppOptions options, MessageBoxes& boxes)
    : m_options(std::move(options))
    , m_boxes(boxes)
    , m_server(m_state, ApplyNotifications(), m_options.serverPort, m_options.connectTimeoutMs)
    , m_listener(m_state, ApplyNotifications())
{
    // g_serverIp may be a host name, which no delivering peer's address equals.
    m_listener.AcceptPeerOf(m_server.serverSocket());
    // A delivery is the server's answer too: a login it took is not mistaken for a refused one.
    QObject::connect(&m_listener, &NotificationListener::received, &m_server, &ServerConnection::NoteDelivery);
}

CClientApp::~CClientApp() = default;

NotificationSink CClientApp::ApplyNotifications()
{
    // The links only report what they parsed; the presence side stores it, the idle pump shows it.
    return [this](Notification parsed) { HandleNotification(m_state, m_state, std::move(parsed)); };
}

void CClientApp::RunSetup(QWidget* parent)
{
    CSetupDlg setup(m_state, m_options.configDir, m_boxes, parent);
    setup.exec(); // confirmed or cancelled, the window it came from goes on
}

void CClientApp::LoadIdentity()
{
    const IdentityFile identity = ReadIdentity(m_options.configDir / "info.cfg");
    if (identity.state == SettingsFileState::Unusable)
        m_boxes.Information(nullptr, QStringLiteral("info.cfg is not a file that can be read; it is taken as missing."));
    // Values the file did not reach keep what they held: empty at start.
    if (identity.valuesRead > 0)
        m_state.g_userId.assign(identity.userId);
    if (identity.valuesRead > 1)
        m_state.g_password.assign(identity.password);
    if (identity.valuesRead > 2)
        m_state.g_serverIp.assign(identity.serverIp);
}

void CClientApp::InitInstance()
{
    LoadIdentity();
    if (NeedsSetup(m_state.g_userId.view(), m_state.g_password.view())) {
        RunSetup(nullptr); // confirmed or cancelled, the main window opens
    }
    ClientDlgOptions dialogOptions;
    dialogOptions.configDir = m_options.configDir;
    dialogOptions.trayAvailable = m_options.trayAvailable;
    dialogOptions.notifyPort = m_options.notifyPort;
    dialogOptions.queryPendingTimeoutMs = m_options.queryPendingTimeoutMs;
    dialogOptions.autoRefreshIntervalMs = m_options.autoRefreshIntervalMs;
    m_mainWnd = std::make_unique<CClientDlg>(m_state, m_state, m_state, m_server, m_listener, m_boxes, dialogOptions);
    CClientDlg* window = m_mainWnd.get();
    QObject::connect(window, &CClientDlg::optionsRequested, window, [this, window] { RunSetup(window); });
}

int CClientApp::Run()
{
    const SingleCopyLock folderLock(m_options.configDir);
    SingleCopyHandOver handOver(m_options.configDir);
    if (folderLock.otherCopyRuns()) {
        // The desktop's token for this start lets the running copy take the focus in its stead.
        const bool handedOver = handOver.AskToShow(qgetenv("XDG_ACTIVATION_TOKEN"));
        folderLock.ReportOtherCopy(m_boxes, handedOver);
        return handedOver ? 0 : 1;
    }
    // Without the socket a later start says the folder is taken, as it did before the hand-over.
    (void)handOver.Listen();
    QObject::connect(&handOver, &SingleCopyHandOver::showRequested,
                     [this](const QByteArray& token) { BringUpWindow(token); });
    ExitSignals exitSignals;
    QObject::connect(&exitSignals, &ExitSignals::exitRequested, [this] { EndFromOutside(); });
    QApplication::setWindowIcon(TrayIcon::NormalIcon()); // the setup dialog's and every box's too
    InitInstance();
    if (m_endingFromOutside)
        return 0; // ended in the setup dialog at start: no list loaded, nobody logged in
    m_mainWnd->DoModal();
    ExitInstance();
    return 0;
}

// A later start asked for the window: the main window, or the setup dialog of a first run.
void CClientApp::BringUpWindow(const QByteArray& activationToken)
{
    if (m_mainWnd != nullptr && !m_mainWnd->hasExited()) {
        m_mainWnd->reach().BringUp(activationToken);
    } else if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

void CClientApp::EndFromOutside()
{
    m_endingFromOutside = true;
    m_boxes.SendToStandardError();
    m_server.AbandonConnect();
    if (m_mainWnd != nullptr)
        m_mainWnd->OnOK();
    // The main window's loop returns only after the loop of every dialog open above it.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(window);
        if (dialog != nullptr && dialog != m_mainWnd.get() && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}

bool CClientApp::ExitInstance()
{
    if (m_exitDone)
        return true;
    m_exitDone = true;
    m_server.LogoutAtExit();
    m_state.g_saveText.assign(m_state.g_contactSnapshot.view());
    // A list the user did not change stays as it is on disk, byte for byte, whatever it holds:
    // rewriting it could only lose what the loading had to leave out.
    if (m_state.g_saveText == m_state.g_listText.view())
        return true;
    if (WriteSettingsFile(m_options.configDir / "list.cfg", ContactListFileBytes(m_state.g_saveText.view()),
                          FileAccess::Kept))
        return true;
    m_boxes.Information(m_mainWnd.get(), QStringLiteral("Error saving file"));
    return false;
}
