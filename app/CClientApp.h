// The application: loads the identity, asks for one when none is configured, runs the main
// window until Exit, then logs out and saves the contact list.
#pragma once

#include <filesystem>
#include <memory>

#include "app/rules/ClientState.h"
#include "common/Protocol.h"
#include "net/NotificationListener.h"
#include "net/ServerConnection.h"
#include "ui/CClientDlg.h"
#include "ui/EndingBoxes.h"

class MessageBoxes;

struct ClientAppOptions {
    std::filesystem::path configDir = ".";
    quint16 serverPort = kServerPort;
    quint16 notifyPort = kNotifyPort;
    int connectTimeoutMs = ServerConnection::kDefaultConnectTimeoutMs;
    bool trayAvailable = false; // a tray taken as there (offscreen tests); else the trays are followed
    int queryPendingTimeoutMs = kQueryPendingTimeoutMs;
    int autoRefreshIntervalMs = kAutoRefreshIntervalMs;
};

class CClientApp {
public:
    CClientApp(ClientAppOptions options, MessageBoxes& boxes);
    ~CClientApp();

    // Start-up up to the open main window; the setup dialog first when the identity is the sentinel.
    void InitInstance();
    // Runs the main window until Exit, then ExitInstance. Returns the process exit code. When
    // another copy runs in the same folder nothing is touched: that copy is asked to bring its
    // window up, and the result is 0 once it has, not 0 when it could not be asked.
    int Run();
    // Logout, then list.cfg from the last snapshot. False when list.cfg could not be written.
    bool ExitInstance();
    // The end a termination signal or the session's end asks for: it comes whatever window is
    // open, and a box it would show goes to standard error instead.
    void EndFromOutside();

    [[nodiscard]] ClientState& state() { return m_state; }
    [[nodiscard]] CClientDlg* mainWindow() { return m_mainWnd.get(); }
    [[nodiscard]] ServerConnection& server() { return m_server; }
    [[nodiscard]] NotificationListener& listener() { return m_listener; }

private:
    [[nodiscard]] NotificationSink ApplyNotifications();
    void RunSetup(QWidget* parent);
    void LoadIdentity();
    void BringUpWindow(const QByteArray& activationToken);

    ClientAppOptions m_options;
    EndingBoxes m_boxes;
    ClientState m_state;
    ServerConnection m_server;
    NotificationListener m_listener;
    std::unique_ptr<CClientDlg> m_mainWnd;
    bool m_exitDone = false;
    bool m_endingFromOutside = false;
};
