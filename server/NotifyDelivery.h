#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

namespace qornc::server {

// One notification on one connection of its own: connect, write the text
// and its NUL, then close gracefully so the client reads it to the end.
// Whatever happens, `finished` is emitted exactly once: at the latest when
// the connect timeout runs out without a connection, or the whole timeout.
class NotifyDelivery : public QObject {
    Q_OBJECT

public:
    NotifyDelivery(const QHostAddress& host, quint16 port, QByteArray payload, int connectTimeoutMs, int timeoutMs,
                   QObject* parent = nullptr);

    void start();

signals:
    void finished(bool delivered, const QString& failure);

private:
    void onConnected();
    void onBytesWritten();
    void onDisconnected();
    void onError();
    void onTimeout();
    void finish(bool delivered, const QString& failure);

    QHostAddress host_;
    quint16 port_;
    QByteArray payload_;
    QTcpSocket* socket_;
    QTimer* timer_;
    int timeoutMs_;
    bool flushed_ = false;
    bool done_ = false;
};

} // namespace qornc::server
