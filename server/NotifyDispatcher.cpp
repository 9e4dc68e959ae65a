#include "NotifyDispatcher.h"

#include "NotifyDelivery.h"

#include <QHostAddress>
#include <QTimer>

#include <algorithm>
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
    HostQueue& queue = hosts_[notification.host];
    if (queue.texts.size() >= std::max<std::size_t>(limits_.maxQueuedPerHost, 1))
        dropOldest(notification.host, queue, " notifications waiting for that host");
    if (pending_ >= limits_.maxQueued) {
        const auto longest = std::max_element(hosts_.begin(), hosts_.end(), [](const auto& a, const auto& b) {
            return a.second.texts.size() < b.second.texts.size();
        });
        if (!longest->second.texts.empty())
            dropOldest(longest->first, longest->second, " notifications waiting, the most of all hosts");
    }
    ++pending_;
    queue.texts.push_back(std::move(notification.text));
    if (!queue.busy && !queue.backingOff)
        startNext(notification.host);
}

void NotifyDispatcher::dropOldest(const std::string& host, HostQueue& queue, const std::string& why)
{
    log_("notify " + host + " dropped: " + std::to_string(queue.texts.size()) + why);
    queue.texts.pop_front();
    --pending_;
}

void NotifyDispatcher::startNext(const std::string& host)
{
    const auto found = hosts_.find(host);
    if (found == hosts_.end())
        return;
    HostQueue& queue = found->second;
    if (queue.texts.empty()) {
        hosts_.erase(found);
        return;
    }
    QByteArray payload(queue.texts.front().data(), static_cast<qsizetype>(queue.texts.front().size()));
    payload.append('\0');
    queue.texts.pop_front();
    queue.busy = true;

    auto* delivery = new NotifyDelivery(QHostAddress(QString::fromStdString(host)), notifyPort_, std::move(payload),
                                        limits_.connectTimeoutMs, limits_.timeoutMs, this);
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
    HostQueue& queue = hosts_[host];
    queue.busy = false;
    queue.failures = delivered ? 0 : queue.failures + 1;
    if (delivered || queue.failures < 2) {
        if (!delivered)
            log_("notify " + host + " dropped: " + failure.toStdString());
        startNext(host);
        return;
    }
    const int delay = backoffMs(queue.failures);
    log_("notify " + host + " dropped: " + failure.toStdString() + "; next try in " + std::to_string(delay) + " ms");
    queue.backingOff = true;
    QTimer::singleShot(delay, this, [this, host] {
        hosts_[host].backingOff = false;
        startNext(host);
    });
}

int NotifyDispatcher::backoffMs(int failures) const
{
    // One failure may be a client that just quit; from the second on, wait
    // 1 s, 2 s, 4 s ... up to the ceiling.
    const int doublings = std::min(failures - 2, 16);
    return static_cast<int>(std::min<long long>(1000LL << doublings, limits_.maxBackoffMs));
}

} // namespace qornc::server
