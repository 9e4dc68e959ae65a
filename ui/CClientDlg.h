// The main window: contact list, Online list, conversation, input line and status line, every
// user command, and the idle pump's steps that turn what the network stored into control changes.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "common/Protocol.h"
#include "presence/OnlineList.h"
#include "ui/DesktopNotifier.h"
#include "ui/IdlePump.h"
#include "ui/LinkPresenter.h"
#include "ui/StatusLine.h"
#include "ui/TrayIcon.h"
#include "ui/WindowReach.h"

class QCheckBox;
class QEventLoop;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class MessageBoxes;
class NotificationListener;
class ServerConnection;
class TrayMenu;
struct LinkState;
struct PresenceState;
struct WindowState;

inline constexpr int TIMER_AUTO_REFRESH = 99998;
inline constexpr int TIMER_SNAPSHOT = 99997;
inline constexpr int kAutoRefreshIntervalMs = 10000;
inline constexpr int kSnapshotIntervalMs = 2000;
// A refresh whose answers never come must not refuse sending for the rest of the run.
inline constexpr int kQueryPendingTimeoutMs = 5000;
inline constexpr qint64 kOnlineRebuildSpacingMs = 50;

struct ClientDlgOptions {
    std::filesystem::path configDir = ".";
    bool trayAvailable = false; // a tray taken as there (offscreen tests); else the trays are followed
    quint16 notifyPort = kNotifyPort;
    int queryPendingTimeoutMs = kQueryPendingTimeoutMs;
    int autoRefreshIntervalMs = kAutoRefreshIntervalMs;
};

class CClientDlg : public QDialog {
    Q_OBJECT

public:
    CClientDlg(LinkState& link, PresenceState& presence, WindowState& window, ServerConnection& server,
               NotificationListener& listener, MessageBoxes& boxes, ClientDlgOptions options,
               QWidget* parent = nullptr);
    ~CClientDlg() override;

    // Opens the window (start-up sequence, listener, connection, pump) without waiting.
    void Open();
    // Opens the window and runs until Exit. The window hides all the time, so the loop is ours,
    // not QDialog::exec(), which would return at the first hide.
    int DoModal();

    // Commands.
    void OnConnectButton();
    void OnDisconnectButton();
    void OnUpdateListButton();
    void OnAutoUpdateCheck();
    void OnEditListButton();
    void OnSendMessage();
    void OnOptions();
    void OnAbout();
    void OnOK();  // Exit
    void OnTrayNotify();

    // One pass of the idle pump, its steps in their fixed order.
    void PreTranslateMessage();
    bool RunPresenceRefresh();
    void ShowArrivedMessage();
    void ShowOnlineText();
    bool AutoRefreshStep();
    void StartAlert();
    void StopAlert();
    void SnapshotTimerProc();

    [[nodiscard]] QWidget* control(int id) const { return m_controls.value(id); }
    [[nodiscard]] QMenuBar* menuBar() const { return m_menuBar; }
    [[nodiscard]] TrayIcon& tray() { return m_tray; }
    [[nodiscard]] IdlePump& pump() { return m_pump; }
    [[nodiscard]] DesktopNotifier& notifier() { return m_notifier; }
    [[nodiscard]] WindowReach& reach() { return m_reach; }
    [[nodiscard]] bool hasExited() const { return m_exited; }
    [[nodiscard]] bool isMainWindowActive() const;

signals:
    void exited();
    // File > Options while disconnected: the application runs its setup dialog over this window.
    void optionsRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape runs Connect; the window is never cancelled

private:
    void BuildWindow();
    void BuildMenu();
    void OnInitDialog();
    void StartTimers();
    void ConnectAndReport(std::size_t loginBlockSize);
    void OnLinkDown();
    void SetStatus(const QString& text);
    void ReplaceConversation(const std::string& text);
    [[nodiscard]] std::string ContactsText() const;
    [[nodiscard]] std::string ConversationText() const;

    LinkState& m_linkState;
    PresenceState& m_presenceState;
    WindowState& m_windowState;
    ServerConnection& m_server;
    NotificationListener& m_listener;
    MessageBoxes& m_boxes;
    ClientDlgOptions m_options;

    QHash<int, QWidget*> m_controls;
    QMenuBar* m_menuBar = nullptr;
    QPlainTextEdit* m_contacts = nullptr;
    QLineEdit* m_input = nullptr;
    QPlainTextEdit* m_conversation = nullptr;
    std::unique_ptr<OnlineList> m_online;
    std::unique_ptr<StatusLine> m_statusLine;
    std::unique_ptr<LinkPresenter> m_link;
    std::unique_ptr<TrayMenu> m_trayMenu;
    QCheckBox* m_autoUpdate = nullptr;
    QPushButton* m_editList = nullptr;

    TrayIcon m_tray;
    DesktopNotifier m_notifier;
    WindowReach m_reach;
    IdlePump m_pump;
    QTimer m_autoRefreshTimer;
    QTimer m_snapshotTimer;
    QTimer m_queryPendingTimer;
    QTimer m_onlineRebuildTimer;
    QElapsedTimer m_onlineRebuilt;
    QPointer<QEventLoop> m_modalLoop;
    bool m_exited = false;
};
