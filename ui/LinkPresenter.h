// The link as the window tells it: the status line's word while connecting, on every connect, on a lost link and
// on a refused delivery, and the Connect and Disconnect buttons and the tray icon's picture that
// follow the link's state.
#pragma once

#include <QObject>

#include <cstddef>

class NotificationListener;
class QPushButton;
class ServerConnection;
class StatusLine;
class TrayIcon;
struct LinkState;

inline constexpr const char* kConnectingText = "Connecting to %1...";
inline constexpr const char* kAbandonedText = "Not connected: the attempt was abandoned.";

class LinkPresenter : public QObject {
    Q_OBJECT

public:
    LinkPresenter(LinkState& state, ServerConnection& server, NotificationListener& listener,
                  StatusLine& statusLine, TrayIcon& tray, QPushButton* connectButton, QPushButton* disconnectButton);

    // Listens first, so the server's first delivery finds the listener, then starts connecting:
    // the status line says to what, Connect waits disabled, and the end is told as it comes.
    void BeginConnect(std::size_t loginBlockSize, quint16 notifyPort);
    // Disconnect or Exit during an attempt: it is dropped and the line says so. False when no
    // attempt was running.
    bool Abandon();
    // The buttons and the tray icon as the link now stands.
    void UpdateButtons();

signals:
    // A connect ended logged in.
    void loggedIn();
    // The server or the network ended the link, and the status line says why.
    void linkLost();

private:
    void OnConnectEnded(const QString& status);

    LinkState& m_state;
    ServerConnection& m_server;
    NotificationListener& m_listener;
    StatusLine& m_statusLine;
    TrayIcon& m_tray;
    QPushButton* m_connect;
    QPushButton* m_disconnect;
    bool m_listening = false;
};
