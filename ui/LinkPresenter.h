// The link as the window tells it: the status line's word on every connect, on a lost link and
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

class LinkPresenter : public QObject {
    Q_OBJECT

public:
    LinkPresenter(LinkState& state, ServerConnection& server, NotificationListener& listener,
                  StatusLine& statusLine, TrayIcon& tray, QPushButton* connectButton, QPushButton* disconnectButton);

    // Listens first, so the server's first delivery finds the listener, then connects and logs
    // in, and tells how it went. True when logged in.
    bool ConnectAndReport(std::size_t loginBlockSize, quint16 notifyPort);
    // The buttons and the tray icon as the link now stands.
    void UpdateButtons();

signals:
    // The server or the network ended the link, and the status line says why.
    void linkLost();

private:
    LinkState& m_state;
    ServerConnection& m_server;
    NotificationListener& m_listener;
    StatusLine& m_statusLine;
    TrayIcon& m_tray;
    QPushButton* m_connect;
    QPushButton* m_disconnect;
};
