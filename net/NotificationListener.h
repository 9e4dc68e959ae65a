// The notification listener: the server opens a connection to the client's port for every
// notification. Accepted connections fill pool entries 1 to 6; the seventh first closes entries
// 6 down to 1 and then takes entry 1. Only the chat server may deliver.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>

#include "net/CLinkSocket.h"

class QTcpServer;
struct ClientState;

class NotificationListener : public QObject {
    Q_OBJECT

public:
    static constexpr int kPoolEntries = 6;
    static constexpr int kListenBacklog = 1024;

    NotificationListener(ClientState& state, QObject* parent = nullptr);
    ~NotificationListener() override;

    // Binds and listens at once on every local address; false (with errorCode) when the port is taken.
    bool Listen(quint16 port);
    [[nodiscard]] int errorCode() const { return m_errorCode; }
    [[nodiscard]] quint16 port() const;

    // Also trusts the peer of this request connection while it is connected: g_serverIp may be a
    // host name, which no peer address equals, and the server delivers from where it was reached.
    void AcceptPeerOf(const CLinkSocket& requestLink);

    // The pool entry 1..6, for tests and for the window's diagnostics.
    [[nodiscard]] const CLinkSocket* entry(int index) const;

signals:
    void received();
    void rejected(const QHostAddress& peer);

private:
    void OnAccept();
    void TakeInPool();
    void Evict(std::unique_ptr<CLinkSocket>& entrySocket);
    [[nodiscard]] bool IsServerAddress(const QHostAddress& peer) const;

    ClientState& m_state;
    QTcpServer* m_server;
    std::array<std::unique_ptr<CLinkSocket>, kPoolEntries> m_pool;
    int m_errorCode = 0;
    QPointer<const CLinkSocket> m_requestLink;
};

// "Can't listen for messages: Error code %s." for a listener that could not be set up.
[[nodiscard]] QString ListenFailedText(int errorCode);
