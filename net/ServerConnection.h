// The request connection to the chat server: connect and log in, log out and close, and notice
// when the server or the network ends the link. What the server writes on it goes to the sink.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <string>

#include "net/CLinkSocket.h"
#include "net/rules/LoginWatch.h"

struct LinkState;

class ServerConnection : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultConnectTimeoutMs = 10000;

    ServerConnection(LinkState& state, NotificationSink sink, quint16 port,
                     int connectTimeoutMs = kDefaultConnectTimeoutMs, QObject* parent = nullptr);

    // Starts connecting to g_serverIp and returns at once: the window goes on while the attempt
    // runs. connectEnded follows with the status line's new text, also for a login too long to
    // form and a connect that fails at once; on success the login block of blockSize has gone.
    void BeginConnect(std::size_t loginBlockSize);
    // Sends the logout block when it can be formed and closes the link either way. False when
    // no logout went out.
    bool LogoutAndClose();
    // The logout at exit: sent whatever the state, its result not examined, given a moment to leave.
    void LogoutAtExit();
    // Drops a pending attempt without a word: the user chose Disconnect or Exit meanwhile.
    void AbandonConnect();
    // The server delivered a notification: it has answered since the login.
    void NoteDelivery() { m_loginWatch.Answered(); }

    [[nodiscard]] bool isConnecting() const { return m_connecting; }
    [[nodiscard]] CLinkSocket& serverSocket() { return m_serverSocket; }

signals:
    void received();
    void connectEnded(const QString& statusText);
    void linkLost(const QString& statusText);

private:
    void OnConnected();
    void EndConnect(int errorCode);
    void OnLinkLost(int errorCode);

    LinkState& m_state;
    CLinkSocket m_serverSocket;
    quint16 m_port;
    int m_connectTimeoutMs;
    bool m_connecting = false;
    std::string m_loginBlock; // sent once the pending attempt connects
    QTimer m_connectBound;
    LoginWatch m_loginWatch;
};

inline constexpr const char* kLoginTooLongText = "Can't log in: the name and password together are too long.";
inline constexpr const char* kLinkLostText = "Connection to the server lost: Error code %1.";
inline constexpr const char* kLoginRefusedText =
    "Refused at login: the name or password may be wrong.";
