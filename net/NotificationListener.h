// The notification listener: the server opens a connection to the client's port for every
// notification, and may keep it open to write more on it later. A delivery stays open while the
// server keeps it, until the pool has no room for a newer one; one that brings no text within a
// short timeout is closed, and a hard cap bounds how many wait for their text at once. Only the
// chat server may deliver.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <deque>
#include <memory>

#include "net/CLinkSocket.h"

class QTcpServer;
struct LinkState;

class NotificationListener : public QObject {
    Q_OBJECT

public:
    static constexpr int kListenBacklog = 1024;
    // A delivery that has brought its text gives its room up once this many are open, oldest
    // first: one the server keeps open outlives six later deliveries.
    static constexpr int kPoolSize = 6;
    // Deliveries still waiting for their text are not closed to make room, up to this many:
    // enough for every burst a server sends; idle connections cannot pile up past it.
    static constexpr int kMaxOpenDeliveries = 128;
    // How long a delivery may take to bring its first text: long enough for the kernel to
    // retransmit it a few times on a lossy link. Closing sooner would lose a text the server
    // then counts as not delivered and sends again, behind later ones.
    static constexpr int kDeliveryTimeoutMs = 15000;

    // Every delivered notification goes to sink, in arrival order.
    NotificationListener(const LinkState& state, NotificationSink sink, int deliveryTimeoutMs = kDeliveryTimeoutMs,
                         QObject* parent = nullptr);
    ~NotificationListener() override;

    // Binds and listens at once on every local address; false (with errorCode) when the port is taken.
    bool Listen(quint16 port);
    [[nodiscard]] bool isListening() const;
    [[nodiscard]] int errorCode() const { return m_errorCode; }
    [[nodiscard]] quint16 port() const;

    // Also trusts the peer of this request connection while it is connected: g_serverIp may be a
    // host name, which no peer address equals, and the server delivers from where it was reached.
    void AcceptPeerOf(const CLinkSocket& requestLink);

    [[nodiscard]] int openDeliveries() const { return int(m_open.size()); }

signals:
    void received();
    // The first refused delivery from peer; later ones from the same address are refused quietly.
    void rejected(const QHostAddress& peer);

private:
    void OnAccept();
    void Refuse(QTcpSocket* socket);
    void MakeRoom();
    void Take(QTcpSocket* socket);
    void CloseDelivery(CLinkSocket* delivery);
    [[nodiscard]] bool IsServerAddress(const QHostAddress& peer) const;

    const LinkState& m_state;
    NotificationSink m_sink;
    int m_deliveryTimeoutMs;
    QTcpServer* m_server;
    std::deque<std::unique_ptr<CLinkSocket>> m_open; // oldest first
    QSet<QString> m_refusedPeers;
    int m_errorCode = 0;
    QPointer<const CLinkSocket> m_requestLink;
};

// "Can't listen for messages: Error code %s." for a listener that could not be set up.
[[nodiscard]] QString ListenFailedText(int errorCode);
// The status text for the first refused delivery from peer.
[[nodiscard]] QString RefusedDeliveryText(const QHostAddress& peer);
