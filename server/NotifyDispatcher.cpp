#include "NotifyDispatcher.h"

#include <asio/ip/address.hpp>

#include <algorithm>
#include <set>
#include <utility>

namespace qornc::server {

namespace {

// The first pause after a failed try; a client that just started listens within it.
constexpr int kFirstBackoffMs = 500;

} // namespace

NotifyDispatcher::NotifyDispatcher(asio::io_context& io, std::uint16_t notifyPort, DispatchLimits limits, LogSink log,
                                   Hooks hooks)
    : io_(io)
    , notifyPort_(notifyPort)
    , limits_(limits)
    , log_(std::move(log))
    , hooks_(std::move(hooks))
{
    for (const std::string& source : limits_.sources)
        sources_.push_back(asio::ip::make_address(source));
}

NotifyDispatcher::~NotifyDispatcher()
{
    for (auto& [host, queue] : hosts_) {
        if (queue.delivery)
            queue.delivery->cancel();
        dropNext(queue);
    }
}

void NotifyDispatcher::send(Notification notification)
{
    const std::string host = notification.host;
    HostQueue& queue = hosts_[host];
    if (queue.waiting.size() >= std::max<std::size_t>(limits_.maxQueuedPerHost, 1))
        dropOldest(host, queue, " notifications waiting for that host");
    if (pending_ >= limits_.maxQueued) {
        const auto longest = std::max_element(hosts_.begin(), hosts_.end(), [](const auto& a, const auto& b) {
            return a.second.waiting.size() < b.second.waiting.size();
        });
        if (!longest->second.waiting.empty())
            dropOldest(longest->first, longest->second, " notifications waiting, the most of all hosts");
    }
    ++pending_;
    queue.waiting.push_back({std::move(notification), std::chrono::steady_clock::now()});
    if (!queue.inFlight && !queue.backoff && !queue.waitsForRoom)
        startNext(host);
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
        dropNext(queue);
        hosts_.erase(found);
        return;
    }
    if (!queue.next && inFlight_ >= limits_.maxInFlight) {
        if (!queue.waitsForRoom)
            waitingForRoom_.push_back(host);
        queue.waitsForRoom = true;
        return;
    }
    std::error_code error;
    const asio::ip::address address = asio::ip::make_address(host, error);
    queue.inFlight = std::move(queue.waiting.front());
    queue.waiting.pop_front();
    if (error) {
        // Hosts come from the peers of request connections, so this never happens; say so if it does.
        retryLater(host, queue, "bad host address");
        return;
    }
    std::string payload = queue.inFlight->notification.text;
    payload.push_back('\0');
    if (queue.next) {
        queue.delivery = std::move(queue.next);
        queue.delivery->send(std::move(payload));
    } else {
        queue.delivery = open(host, address, std::move(payload));
    }
    queue.delivery->whenWritten([this, host] { openNext(host); });
}

std::shared_ptr<NotifyDelivery> NotifyDispatcher::open(const std::string& host, const asio::ip::address& address,
                                                       std::string payload)
{
    std::optional<asio::ip::address> from;
    if (!sources_.empty())
        from = sources_[nextSource_++ % sources_.size()];
    // Which of the host's two connections reports is known by its address, set once it exists.
    auto which = std::make_shared<const NotifyDelivery*>(nullptr);
    auto delivery = std::make_shared<NotifyDelivery>(
        io_, asio::ip::tcp::endpoint(address, notifyPort_), std::move(payload),
        NotifyDelivery::Times{std::chrono::milliseconds(limits_.connectTimeoutMs),
                              std::chrono::milliseconds(limits_.timeoutMs)},
        [this, host, which](bool delivered, const std::string& failure) {
            onFinished(host, *which, delivered, failure);
        },
        from);
    *which = delivery.get();
    ++inFlight_;
    delivery->start();
    return delivery;
}

void NotifyDispatcher::openNext(const std::string& host)
{
    const auto found = hosts_.find(host);
    if (found == hosts_.end())
        return;
    HostQueue& queue = found->second;
    std::error_code error;
    const asio::ip::address address = asio::ip::make_address(host, error);
    if (queue.next || queue.waiting.empty() || inFlight_ >= limits_.maxInFlight || error)
        return;
    queue.next = open(host, address, {});
}

void NotifyDispatcher::dropNext(HostQueue& queue)
{
    if (!queue.next)
        return;
    queue.next->cancel();
    queue.next.reset();
    --inFlight_;
}

void NotifyDispatcher::startWaitingHosts()
{
    while (inFlight_ < limits_.maxInFlight && !waitingForRoom_.empty()) {
        const std::string host = std::move(waitingForRoom_.front());
        waitingForRoom_.pop_front();
        const auto found = hosts_.find(host);
        if (found == hosts_.end())
            continue;
        found->second.waitsForRoom = false;
        startNext(host);
    }
}

void NotifyDispatcher::onFinished(const std::string& host, const NotifyDelivery* which, bool delivered,
                                  const std::string& failure)
{
    --inFlight_;
    HostQueue& queue = hosts_[host];
    // A connection opened ahead that failed before its text came: the text gets a fresh one.
    if (queue.next.get() == which) {
        queue.next.reset();
        startWaitingHosts();
        return;
    }
    queue.delivery.reset();
    if (!delivered) {
        retryLater(host, queue, failure);
    } else {
        --pending_;
        const Notification done = std::move(queue.inFlight->notification);
        queue.inFlight.reset();
        queue.failures = 0;
        if (!done.label.empty())
            log_(done.label + " delivered to " + host);
        if (hooks_.delivered)
            hooks_.delivered(done);
        startNext(host);
    }
    startWaitingHosts();
}

void NotifyDispatcher::retryLater(const std::string& host, HostQueue& queue, const std::string& failure)
{
    // Back to the front, so that nothing overtakes it; after a pause, on a fresh connection.
    dropNext(queue);
    queue.waiting.push_front(std::move(*queue.inFlight));
    queue.inFlight.reset();
    giveUpExpired(host, queue, failure);
    if (queue.waiting.empty()) {
        hosts_.erase(host);
        return;
    }
    const auto untilDeadline = std::chrono::ceil<std::chrono::milliseconds>(
        queue.waiting.front().since + std::chrono::milliseconds(limits_.deadlineMs) - std::chrono::steady_clock::now());
    const int delay = std::clamp(static_cast<int>(untilDeadline.count()), 0, backoffMs(++queue.failures));
    log_("notify " + host + " failed: " + failure + "; " + std::to_string(queue.waiting.size())
         + " waiting, next try in " + std::to_string(delay) + " ms");
    queue.backoff = std::make_unique<asio::steady_timer>(io_, std::chrono::milliseconds(delay));
    queue.backoff->async_wait([this, host, alive = std::weak_ptr(alive_)](const std::error_code& error) {
        if (error || alive.expired())
            return;
        const auto found = hosts_.find(host);
        if (found == hosts_.end() || !found->second.backoff)
            return;
        found->second.backoff.reset();
        startNext(host);
    });
}

void NotifyDispatcher::giveUpExpired(const std::string& host, HostQueue& queue, const std::string& failure)
{
    const auto deadline = std::chrono::steady_clock::now() - std::chrono::milliseconds(limits_.deadlineMs);
    const auto expired = std::find_if(queue.waiting.begin(), queue.waiting.end(),
                                      [deadline](const Queued& queued) { return queued.since > deadline; });
    if (expired == queue.waiting.begin())
        return;
    // A message goes back to be held, and every later one for its recipient with it, so that none
    // of them overtakes it.
    std::set<std::string> recipients;
    std::vector<Notification> held;
    std::size_t dropped = 0;
    std::deque<Queued> kept;
    for (auto it = queue.waiting.begin(); it != queue.waiting.end(); ++it) {
        const std::string& recipient = it->notification.recipient;
        const bool isExpired = it < expired;
        if (!recipient.empty() && (isExpired || recipients.contains(recipient))) {
            recipients.insert(recipient);
            held.push_back(std::move(it->notification));
        } else if (isExpired) {
            ++dropped;
        } else {
            kept.push_back(std::move(*it));
        }
    }
    queue.waiting = std::move(kept);
    pending_ -= dropped + held.size();
    const std::string within = " not delivered within " + std::to_string(limits_.deadlineMs / 1000) + " s (" + failure + ")";
    if (dropped > 0)
        log_("notify " + host + " dropped: " + std::to_string(dropped) + " notification(s)" + within);
    if (!held.empty()) {
        log_("notify " + host + ": " + std::to_string(held.size()) + " message(s)" + within + " held for their recipients");
        if (hooks_.undelivered)
            hooks_.undelivered(std::move(held));
    }
}

std::vector<Notification> NotifyDispatcher::takeAll()
{
    std::vector<Notification> all;
    for (auto& [host, queue] : hosts_) {
        if (queue.delivery)
            queue.delivery->cancel();
        if (queue.next)
            queue.next->cancel();
        if (queue.inFlight)
            all.push_back(std::move(queue.inFlight->notification));
        for (Queued& queued : queue.waiting)
            all.push_back(std::move(queued.notification));
    }
    hosts_.clear();
    waitingForRoom_.clear();
    inFlight_ = 0;
    pending_ = 0;
    return all;
}

int NotifyDispatcher::backoffMs(int failures) const
{
    const int doublings = std::min(failures - 1, 16);
    return static_cast<int>(std::min<long long>(static_cast<long long>(kFirstBackoffMs) << doublings,
                                                limits_.maxBackoffMs));
}

} // namespace qornc::server
