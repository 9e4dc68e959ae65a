#include "NotifyDispatcher.h"

#include "NotifyDelivery.h"

#include <QHostAddress>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace qornc::server {

namespace {

// The first pause after a failed try; a client that just started listens within it.
constexpr int kFirstBackoffMs = 500;

} // namespace

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
    if (queue.waiting.size() >= std::max<std::size_t>(limits_.maxQueuedPerHost, 1))
        dropOldest(notification.host, queue, " notifications waiting for that host");
    if (pending_ >= limits_.maxQueued) {
        const auto longest = std::max_element(hosts_.begin(), hosts_.end(), [](const auto& a, const auto& b) {
            return a.second.waiting.size() < b.second.waiting.size();
        });
        if (!longest->second.waiting.empty())
            dropOldest(longest->first, longest->second, " notifications waiting, the most of all hosts");
    }
    ++pending_;
    queue.waiting.push_back({std::move(notification.text), std::move(notification.label),
                             std::chrono::steady_clock::now()});
    if (!queue.inFlight && !queue.backingOff)
        startNext(notification.host);
}

void NotifyDispatcher::dropOldest(const std::string& host, HostQueue& queue, const std::string& why)
{
    log_("notify " + host + " dropped: " + std::to_string(queue.waiting.size()) + why);
    queue.waiting.pop_front();
    --pending_;
}

void NotifyDispatcher::startNext(const std::string& host)
{
    const auto found = hosts_.find(host);
    if (found == hosts_.end())
        return;
    HostQueue& queue = found->second;
    if (queue.waiting.empty()) {
        hosts_.erase(found);
        return;
    }
    queue.inFlight = std::move(queue.waiting.front());
    queue.waiting.pop_front();
    QByteArray payload(queue.inFlight->text.data(), static_cast<qsizetype>(queue.inFlight->text.size()));
    payload.append('\0');

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
    HostQueue& queue = hosts_[host];
    if (!delivered) {
        retryLater(host, queue, failure);
        return;
    }
    --pending_;
    if (!queue.inFlight->label.empty())
        log_(queue.inFlight->label + " delivered to " + host);
    queue.inFlight.reset();
    queue.failures = 0;
    startNext(host);
}

void NotifyDispatcher::retryLater(const std::string& host, HostQueue& queue, const QString& failure)
{
    // Back to the front, so that nothing overtakes it.
    queue.waiting.push_front(std::move(*queue.inFlight));
    queue.inFlight.reset();
    dropExpired(host, queue, failure);
    if (queue.waiting.empty()) {
        hosts_.erase(host);
        return;
    }
    const auto untilDeadline = std::chrono::ceil<std::chrono::milliseconds>(
        queue.waiting.front().since + std::chrono::milliseconds(limits_.deadlineMs) - std::chrono::steady_clock::now());
    const int delay = std::clamp(static_cast<int>(untilDeadline.count()), 0, backoffMs(++queue.failures));
    log_("notify " + host + " failed: " + failure.toStdString() + "; " + std::to_string(queue.waiting.size())
         + " waiting, next try in " + std::to_string(delay) + " ms");
    queue.backingOff = true;
    QTimer::singleShot(delay, this, [this, host] {
        hosts_[host].backingOff = false;
        startNext(host);
    });
}

void NotifyDispatcher::dropExpired(const std::string& host, HostQueue& queue, const QString& failure)
{
    const auto deadline = std::chrono::steady_clock::now() - std::chrono::milliseconds(limits_.deadlineMs);
    const auto expired = std::find_if(queue.waiting.begin(), queue.waiting.end(),
                                      [deadline](const Queued& queued) { return queued.since > deadline; });
    const auto count = std::distance(queue.waiting.begin(), expired);
    if (count == 0)
        return;
    queue.waiting.erase(queue.waiting.begin(), expired);
    pending_ -= static_cast<std::size_t>(count);
    log_("notify " + host + " dropped: " + std::to_string(count) + " notification(s) not delivered within "
         + std::to_string(limits_.deadlineMs / 1000) + " s (" + failure.toStdString() + ")");
}

int NotifyDispatcher::backoffMs(int failures) const
{
    const int doublings = std::min(failures - 1, 16);
    return static_cast<int>(std::min<long long>(static_cast<long long>(kFirstBackoffMs) << doublings,
                                                limits_.maxBackoffMs));
}

} // namespace qornc::server
