// The request connection to the chat server: connect and log in, log out and close, and notice
// when the server or the network ends the link. What the server writes on it goes to the sink.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "net/CLinkSocket.h"
#include "net/rules/LoginWatch.h"

class QEventLoop;
struct LinkState;

class ServerConnection : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultConnectTimeoutMs = 10000;

    ServerConnection(LinkState& state, NotificationSink sink, quint16 port,
                     int connectTimeoutMs = kDefaultConnectTimeoutMs, QObject* parent = nullptr);

    // Connects to g_serverIp and sends the login block of blockSize; a login that cannot be
    // formed fails before any connect. A connect that fails at once is reported at once; one
    // really pending is waited for, bounded, with the window repainting but taking no input.
    // Returns the status line's new text.
    QString ConnectAndLogin(std::size_t loginBlockSize);
    // Sends the logout block when it can be formed and closes the link either way. False when
    // no logout went out.
    bool LogoutAndClose();
    // The logout at exit: sent whatever the state, its result not examined, given a moment to leave.
    void LogoutAtExit();
    // Ends a connect wait at once, as a failed connect: the client is being ended.
    void CancelConnect();
    // The server delivered a notification: it has answered since the login.
    void NoteDelivery() { m_loginWatch.Answered(); }

    [[nodiscard]] bool isConnecting() const { return m_connecting; }
    [[nodiscard]] CLinkSocket& serverSocket() { return m_serverSocket; }

signals:
    void received();
    void linkLost(const QString& statusText);

private:
    [[nodiscard]] int WaitForConnection();
    void OnLinkLost(int errorCode);

    LinkState& m_state;
    CLinkSocket m_serverSocket;
    quint16 m_port;
    int m_connectTimeoutMs;
    bool m_connecting = false;
    QPointer<QEventLoop> m_connectWait;
    LoginWatch m_loginWatch;
};

inline constexpr const char* kLoginTooLongText = "Can't log in: the name and password together are too long.";
inline constexpr const char* kLinkLostText = "Connection to the server lost: Error code %1.";
inline constexpr const char* kLoginRefusedText =
    "Refused at login: the name or password may be wrong.";
