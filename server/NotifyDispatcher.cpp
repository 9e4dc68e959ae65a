#include "NotifyDispatcher.h"

#include "NotifyDelivery.h"

#include <QHostAddress>

#include <utility>

namespace qornc::server {

NotifyDispatcher::NotifyDispatcher(quint16 notifyPort, DispatchLimits limits, LogSink log, QObject* parent)
    : QObject(parent)
    , notifyPort_(notifyPort)
    , limits_(limits)
    , log_(std::move(log))
{
}

void NotifyDispatcher::send(Notification notification)
{
    if (pending_ >= limits_.maxPending) {
        log_("notify " + notification.host + " dropped: " + std::to_string(pending_) + " notifications pending");
        return;
    }
    ++pending_;
    queues_[notification.host].push_back(std::move(notification.text));
    if (!busyHosts_.contains(notification.host))
        startNext(notification.host);
}

void NotifyDispatcher::startNext(const std::string& host)
{
    auto queue = queues_.find(host);
    if (queue == queues_.end() || queue->second.empty()) {
        queues_.erase(host);
        busyHosts_.erase(host);
        return;
    }
    QByteArray payload(queue->second.front().data(), static_cast<qsizetype>(queue->second.front().size()));
    payload.append('\0');
    queue->second.pop_front();
    busyHosts_.insert(host);

    auto* delivery = new NotifyDelivery(QHostAddress(QString::fromStdString(host)), notifyPort_,
                                        std::move(payload), limits_.timeoutMs, this);
    // Queued, so that a delivery failing inside start() cannot re-enter us.
    connect(delivery, &NotifyDelivery::finished, this,
            [this, host, delivery](bool delivered, const QString& failure) {
                delivery->deleteLater();
                onFinished(host, delivered, failure);
            },
            Qt::QueuedConnection);
    delivery->start();
}

void NotifyDispatcher::onFinished(const std::string& host, bool delivered, const QString& failure)
{
    --pending_;
    if (!delivered)
        log_("notify " + host + " dropped: " + failure.toStdString());
    startNext(host);
}

} // namespace qornc::server
