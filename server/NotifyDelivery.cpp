#include "NotifyDelivery.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace qornc::server {

NotifyDelivery::NotifyDelivery(const QHostAddress& host, quint16 port, QByteArray payload, int connectTimeoutMs,
                               int timeoutMs, QObject* parent)
    : QObject(parent)
    , host_(host)
    , port_(port)
    , payload_(std::move(payload))
    , socket_(new QTcpSocket(this))
    , timer_(new QTimer(this))
    , timeoutMs_(timeoutMs)
{
    timer_->setSingleShot(true);
    // A host that does not even answer the handshake gets the short limit.
    timer_->setInterval(std::min(connectTimeoutMs, timeoutMs));
    connect(timer_, &QTimer::timeout, this, &NotifyDelivery::onTimeout);
    connect(socket_, &QTcpSocket::connected, this, &NotifyDelivery::onConnected);
    connect(socket_, &QTcpSocket::bytesWritten, this, &NotifyDelivery::onBytesWritten);
    connect(socket_, &QTcpSocket::disconnected, this, &NotifyDelivery::onDisconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, &NotifyDelivery::onError);
}

void NotifyDelivery::start()
{
    timer_->start();
    socket_->connectToHost(host_, port_);
}

void NotifyDelivery::onConnected()
{
    timer_->setInterval(std::max(timeoutMs_ - static_cast<int>(timer_->interval() - timer_->remainingTime()), 1));
    timer_->start();
    socket_->write(payload_);
}

void NotifyDelivery::onBytesWritten()
{
    if (flushed_ || socket_->bytesToWrite() > 0)
        return;
    // Closing only now, with nothing left in Qt's buffer, lets the kernel send
    // the whole text before the FIN; an abort here could cut it off.
    flushed_ = true;
    socket_->disconnectFromHost();
}

void NotifyDelivery::onDisconnected()
{
    finish(flushed_, flushed_ ? QString() : QStringLiteral("closed by peer before the text was written"));
}

void NotifyDelivery::onError()
{
    // Once the text is out, a peer that closes or resets first is no failure
    // of ours; `disconnected` settles it.
    if (!flushed_)
        finish(false, socket_->errorString());
}

void NotifyDelivery::onTimeout()
{
    const bool connected = socket_->state() == QAbstractSocket::ConnectedState || flushed_;
    finish(flushed_, connected ? QStringLiteral("timed out") : QStringLiteral("connect timed out"));
    socket_->abort();
}

void NotifyDelivery::finish(bool delivered, const QString& failure)
{
    if (done_)
        return;
    done_ = true;
    timer_->stop();
    if (socket_->state() != QAbstractSocket::UnconnectedState && !flushed_)
        socket_->abort();
    emit finished(delivered, failure);
}

} // namespace qornc::server
