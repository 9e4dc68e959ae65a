#include "ui/CClientDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "common/DisplayText.h"
#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "net/rules/LinkState.h"
#include "presence/rules/ContactListFile.h"
#include "presence/rules/ContactText.h"
#include "presence/rules/PresenceRefresh.h"
#include "presence/rules/PresenceState.h"
#include "res/Resources.h"
#include "ui/CAboutDlg.h"
#include "ui/DialogBuilder.h"
#include "ui/EnterKeySend.h"
#include "ui/InputLineLimit.h"
#include "ui/MessageBoxes.h"
#include "ui/QtBytes.h"
#include "ui/TextCapacityGuard.h"
#include "ui/TextCatalog.h"
#include "ui/TrayMenu.h"
#include "ui/WindowPlace.h"
#include "ui/rules/ConversationEntry.h"
#include "ui/rules/MessageSend.h"
#include "ui/rules/WindowState.h"

CClientDlg::CClientDlg(LinkState& link, PresenceState& presence, WindowState& window, ServerConnection& server,
                       NotificationListener& listener, MessageBoxes& boxes, ClientDlgOptions options,
                       QWidget* parent)
    : QDialog(parent)
    , m_linkState(link)
    , m_presenceState(presence)
    , m_windowState(window)
    , m_server(server)
    , m_listener(listener)
    , m_boxes(boxes)
    , m_options(std::move(options))
    , m_tray(window, m_options.trayAvailable)
    , m_reach(*this, window, m_tray)
    , m_pump([this] { PreTranslateMessage(); })
{
    BuildWindow();
    connect(&m_notifier, &DesktopNotifier::activated, &m_reach, &WindowReach::BringUp);
    connect(&m_server, &ServerConnection::received, &m_pump, &IdlePump::Schedule);
    connect(&m_listener, &NotificationListener::received, &m_pump, &IdlePump::Schedule);
    connect(m_link.get(), &LinkPresenter::linkLost, this, &CClientDlg::OnLinkDown);
    connect(m_link.get(), &LinkPresenter::loggedIn, this, [this] {
        // Every login is followed by a refresh, as at start-up: the Online list was emptied when
        // the link went down, and nobody would fill it again before Update list.
        m_presenceState.g_refreshDue = 1;
        m_presenceState.g_autoRefresh = 1;
        m_pump.Schedule();
    });
}

CClientDlg::~CClientDlg() = default;

void CClientDlg::BuildWindow()
{
    setWindowTitle(Translated(kClientDialog.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(TrayIcon::NormalIcon());
    BuildMenu();
    const DialogUnits units = DialogUnits::ForFont(font());
    const int menuHeight = m_menuBar->sizeHint().height();
    m_controls = BuildControls(kClientDialog, this, units, QPoint(0, menuHeight));
    const QSize client = units.ToPixels(kClientDialog.width, kClientDialog.height);
    m_menuBar->setGeometry(0, 0, client.width(), menuHeight);
    setFixedSize(client.width(), client.height() + menuHeight);

    m_contacts = qobject_cast<QPlainTextEdit*>(control(IDC_CONTACTS));
    m_input = qobject_cast<QLineEdit*>(control(IDC_INPUT));
    m_conversation = qobject_cast<QPlainTextEdit*>(control(IDC_CONVERSATION));
    auto* disconnectButton = qobject_cast<QPushButton*>(control(IDC_DISCONNECT));
    auto* connectButton = qobject_cast<QPushButton*>(control(IDCANCEL));
    m_online = std::make_unique<OnlineList>(qobject_cast<QListWidget*>(control(IDC_ONLINE)));
    m_statusLine = std::make_unique<StatusLine>(qobject_cast<QLineEdit*>(control(IDC_STATUS)));
    m_link = std::make_unique<LinkPresenter>(m_linkState, m_server, m_listener, *m_statusLine, m_tray, connectButton,
                                             disconnectButton);
    m_trayMenu = std::make_unique<TrayMenu>(*this, connectButton, disconnectButton);
    connect(m_trayMenu.get(), &TrayMenu::showOrHideChosen, &m_reach, &WindowReach::OnTrayClick);
    connect(m_trayMenu.get(), &TrayMenu::exitChosen, this, &CClientDlg::OnOK);
    m_tray.SetMenu(m_trayMenu->menu());
    new WindowPlace(*this);
    m_autoUpdate = qobject_cast<QCheckBox*>(control(IDC_AUTO_UPDATE));
    m_editList = qobject_cast<QPushButton*>(control(IDC_EDIT_LIST));
    connect(new TextCapacityGuard(m_contacts, kContactEditLimit), &TextCapacityGuard::refused, this, [this] {
        SetStatus(QStringLiteral("Contact list full: that change was not made."));
    });
    new InputLineLimit(m_input, kInputLineLimit, *m_statusLine);

    connect(qobject_cast<QPushButton*>(control(IDOK)), &QPushButton::clicked, this, &CClientDlg::OnOK);
    connect(connectButton, &QPushButton::clicked, this, &CClientDlg::OnConnectButton);
    connect(disconnectButton, &QPushButton::clicked, this, &CClientDlg::OnDisconnectButton);
    connect(qobject_cast<QPushButton*>(control(IDC_UPDATE_LIST)), &QPushButton::clicked, this,
            &CClientDlg::OnUpdateListButton);
    connect(qobject_cast<QPushButton*>(control(IDC_SEND)), &QPushButton::clicked, this, &CClientDlg::OnSendMessage);
    connect(m_autoUpdate, &QCheckBox::clicked, this, &CClientDlg::OnAutoUpdateCheck);
    connect(m_editList, &QPushButton::clicked, this, &CClientDlg::OnEditListButton);
    // Qt presses no hidden default button.
    new EnterKeySend(this, [this] { OnSendMessage(); });
}

void CClientDlg::BuildMenu()
{
    m_menuBar = new QMenuBar(this);
    QHash<QString, QMenu*> menus;
    for (const MenuItemTemplate& item : kClientMenu) {
        const QString title = Translated(item.menu);
        QMenu*& menu = menus[title];
        if (menu == nullptr)
            menu = m_menuBar->addMenu(title);
        QAction* action = menu->addAction(Translated(item.item));
        action->setData(item.command);
        connect(action, &QAction::triggered, this, [this, command = item.command] {
            if (command == ID_OPTIONS)
                OnOptions();
            else if (command == ID_ABOUT)
                OnAbout();
            else if (command == IDOK)
                OnOK();
        });
    }
}

void CClientDlg::Open()
{
    OnInitDialog();
    if (m_exited)
        return; // a termination signal came during the start-up connect: Exit has run already
    m_pump.Install();
    m_reach.Open();
    m_pump.Schedule();
}

int CClientDlg::DoModal()
{
    Open();
    QEventLoop loop;
    m_modalLoop = &loop;
    if (!m_exited)
        loop.exec();
    return IDOK;
}

void CClientDlg::OnInitDialog()
{
    m_contacts->setReadOnly(true);
    m_windowState.g_listLocked = 1;
    m_tray.Add();

    const ContactListFile list = ReadContactList(m_options.configDir / "list.cfg");
    m_presenceState.g_listText.assign(list.text);
    m_contacts->setPlainText(FromBytes(DropCarriageReturns(m_presenceState.g_listText.view())));
    if (list.state == SettingsFileState::Unusable)
        m_boxes.Information(this, QStringLiteral("list.cfg is not a file that can be read; the contact list starts "
                                                 "empty."));

    StartTimers();
    SnapshotTimerProc();
    m_presenceState.g_refreshDue = 1;
    m_presenceState.g_autoRefresh = 1;

    m_input->setMaxLength(int(kInputLineLimit));
    ConnectAndReport(kStartupLoginBlockSize);
    if (list.truncated)
        m_boxes.Information(this, QStringLiteral("list.cfg holds more contacts than the list can take; only the "
                                                 "first ones were loaded. The file is kept as it is unless "
                                                 "you change the list."));
}

void CClientDlg::StartTimers()
{
    connect(&m_autoRefreshTimer, &QTimer::timeout, this, [this] {
        m_presenceState.g_refreshDue = 1;
        m_pump.Schedule();
    });
    connect(&m_snapshotTimer, &QTimer::timeout, this, &CClientDlg::SnapshotTimerProc);
    m_onlineRebuildTimer.setSingleShot(true);
    connect(&m_onlineRebuildTimer, &QTimer::timeout, &m_pump, &IdlePump::Schedule);
    m_queryPendingTimer.setSingleShot(true);
    connect(&m_queryPendingTimer, &QTimer::timeout, this, [this] { m_linkState.g_queryPending = 0; });
    m_autoRefreshTimer.start(m_options.autoRefreshIntervalMs);
    m_snapshotTimer.start(kSnapshotIntervalMs);
}

void CClientDlg::ConnectAndReport(std::size_t loginBlockSize)
{
    m_link->BeginConnect(loginBlockSize, m_options.notifyPort);
}

void CClientDlg::OnLinkDown()
{
    m_online->Forget(m_presenceState);
    m_link->UpdateButtons();
}

void CClientDlg::SetStatus(const QString& text)
{
    m_statusLine->Show(text);
}

void CClientDlg::OnConnectButton()
{
    if (m_linkState.g_link.g_connected == 1 || m_server.isConnecting())
        return; // a second connection would log in twice and leak the first
    ConnectAndReport(kConnectLoginBlockSize);
}

void CClientDlg::OnDisconnectButton()
{
    if (m_link->Abandon())
        return;
    (void)m_server.LogoutAndClose(); // the link ends whether or not the logout went out
    OnLinkDown();
}

void CClientDlg::OnOptions()
{
    if (m_linkState.g_link.g_connected == 1 || m_server.isConnecting()) {
        m_boxes.Information(this, QStringLiteral("Disconnect before setting options."));
        return;
    }
    emit optionsRequested();
}

void CClientDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CClientDlg::OnOK()
{
    if (m_exited)
        return;
    SnapshotTimerProc(); // edits of the last two seconds are saved too
    m_server.AbandonConnect();
    m_snapshotTimer.stop();
    m_tray.Remove();
    m_notifier.CloseAll(); // a click on one after the client is gone would do nothing
    m_pump.Uninstall();
    m_exited = true;
    hide();
    if (m_modalLoop != nullptr)
        m_modalLoop->quit();
    emit exited();
}

void CClientDlg::OnTrayNotify()
{
    m_reach.OnTrayClick();
}

void CClientDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (!m_exited)
        m_reach.Close();
}

void CClientDlg::reject()
{
    OnConnectButton();
}

bool CClientDlg::isMainWindowActive() const
{
    return QApplication::activeWindow() == this;
}

// --- The idle pump's pass -------------------------------------------------------------------

void CClientDlg::PreTranslateMessage()
{
    m_reach.KeepHiddenUntilClicked();
    if (m_windowState.g_alertActive == 1 && isMainWindowActive())
        StopAlert();
    if (m_linkState.g_messageArrived == 1)
        ShowArrivedMessage();
    ShowOnlineText();
    AutoRefreshStep();
}

void CClientDlg::ShowArrivedMessage()
{
    const bool unseen = !isMainWindowActive();
    if (unseen)
        StartAlert();
    std::string entries;
    for (const InboundMessage& message : m_linkState.g_messages.TakeAll()) {
        entries += ConversationEntry(ShownText(message.senderName), ShownText(message.messageText));
        if (unseen && !m_tray.available())
            m_notifier.Show(message.senderName, message.messageText);
    }
    ReplaceConversation(AppendToConversation(ConversationText(), entries));
    m_linkState.g_messageArrived = 0;
    if (const std::size_t dropped = m_linkState.g_messages.TakeDroppedCount(); dropped > 0)
        SetStatus(QStringLiteral("%1 older messages were dropped: too many arrived at once.").arg(dropped));
}

void CClientDlg::ShowOnlineText()
{
    if (m_presenceState.g_onlineRebuildDue != 1)
        return;
    // A refresh of thousands of contacts brings thousands of answers: rebuilding the sorted list
    // for each would cost the square of their number. Rebuilds closer together than the spacing
    // wait for one that takes in every answer so far.
    if (m_onlineRebuilt.isValid() && m_onlineRebuilt.elapsed() < kOnlineRebuildSpacingMs) {
        if (!m_onlineRebuildTimer.isActive())
            m_onlineRebuildTimer.start(int(kOnlineRebuildSpacingMs - m_onlineRebuilt.elapsed()));
        return;
    }
    m_onlineRebuilt.start();
    m_online->Show(m_presenceState.g_onlineText);
    m_presenceState.g_onlineText.clear();
    m_presenceState.g_onlineRebuildDue = 0;
}

bool CClientDlg::AutoRefreshStep()
{
    if (m_presenceState.g_refreshDue != 1 || m_presenceState.g_autoRefresh == 0 || m_windowState.g_listLocked != 1)
        return true;
    if (!m_autoUpdate->isChecked())
        m_presenceState.g_autoRefresh = 0;
    return RunPresenceRefresh();
}

bool CClientDlg::RunPresenceRefresh()
{
    const RefreshOutcome outcome = ::RunPresenceRefresh(m_linkState, m_presenceState, ContactsText(), m_server.serverSocket());
    if (!outcome.completed)
        return false;
    if (!outcome.statusText.empty())
        m_statusLine->ShowSendError(FromBytes(outcome.statusText), m_linkState.g_link.g_connected == 1);
    else
        m_statusLine->Succeeded(UserAction::Refresh);
    if (m_linkState.g_queryPending == 1)
        m_queryPendingTimer.start(m_options.queryPendingTimeoutMs);
    return true;
}

void CClientDlg::StartAlert()
{
    m_tray.StartAlert();
    if (!m_tray.available())
        QApplication::alert(this);
}

void CClientDlg::StopAlert()
{
    m_tray.StopAlert();
    m_notifier.CloseAll();
    QScrollBar* bar = m_conversation->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// --- Commands of the lists and the conversation -------------------------------------------

void CClientDlg::OnUpdateListButton()
{
    if (m_windowState.g_listLocked == 1)
        RunPresenceRefresh();
}

void CClientDlg::OnAutoUpdateCheck()
{
    m_presenceState.g_autoRefresh = m_autoUpdate->isChecked() ? 1 : 0;
}

void CClientDlg::OnEditListButton()
{
    // Rewriting a control sends events, and a pass run from inside the rewrite would read the
    // control half-changed: the pass waits until the command is done.
    const PumpSuspension suspended(m_pump);
    if (m_windowState.g_listLocked == 1) {
        m_contacts->setReadOnly(false);
        m_windowState.g_listLocked = 0;
        m_editList->setText(Translated(QStringLiteral("&Done")));
        return;
    }
    m_contacts->setReadOnly(true);
    m_windowState.g_listLocked = 1;
    m_editList->setText(Translated(QStringLiteral("&Edit list")));
    const std::string text = ContactsText();
    const std::string finished = FinishEditText(text);
    if (finished != text)
        m_contacts->setPlainText(FromBytes(DropCarriageReturns(finished)));
    m_pump.Schedule(); // a refresh that came due during the edit runs now
}

void CClientDlg::OnSendMessage()
{
    const PumpSuspension suspended(m_pump); // as in OnEditListButton: the conversation is rewritten
    const SendOutcome outcome =
        SendChatMessage(m_linkState, m_online->SelectedNames(kMaxRecipientPositions), !m_online->empty(),
                        ToBytes(m_input->text()), ConversationText(), m_server.serverSocket());
    if (!outcome.statusText.empty())
        m_statusLine->ShowRefusal(FromBytes(outcome.statusText), UserAction::Send);
    else
        m_statusLine->Succeeded(UserAction::Send);
    if (outcome.refused)
        return;
    ReplaceConversation(outcome.newConversation);
    m_input->clear();
}

void CClientDlg::SnapshotTimerProc()
{
    m_presenceState.g_contactSnapshot.assign(ContactsText());
}

std::string CClientDlg::ContactsText() const
{
    return ToCrLf(PlainTextBytes(*m_contacts));
}

std::string CClientDlg::ConversationText() const
{
    return ToCrLf(PlainTextBytes(*m_conversation));
}

void CClientDlg::ReplaceConversation(const std::string& text)
{
    m_conversation->setPlainText(FromBytes(DropCarriageReturns(text)));
    m_conversation->moveCursor(QTextCursor::End);
    m_conversation->ensureCursorVisible();
}
