#pragma once

#include "ChatRouter.h"
#include "LogSink.h"
#include "NotifyDelivery.h"
#include "ServerConfig.h"

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace qornc::server {

// Sends notifications, one connection each. A host gets one delivery at a time, in the order the
// texts were produced, and a text leaves its queue only once the host has acknowledged it: a
// failed try is repeated, after a pause that doubles up to `maxBackoffMs`, until the text has
// waited `deadlineMs`; then a message goes back to be held for its recipient, with every later
// one for that recipient, and any other text is dropped with one log line for all that expired
// together. Every host has a queue of its own, so a slow or dead host delays only its own texts;
// when its queue is full its oldest text goes, and when all queues together are full, the longest
// one loses its oldest. At most `maxInFlight` deliveries are open; other hosts wait their turn.
// While a text waits for its acknowledgement, the connection for the next one is opened already.
class NotifyDispatcher {
public:
    struct Hooks {
        std::function<void(const Notification&)> delivered;
        std::function<void(std::vector<Notification>)> undelivered; // messages past the deadline
    };

    NotifyDispatcher(asio::io_context& io, std::uint16_t notifyPort, DispatchLimits limits, LogSink log, Hooks hooks);
    ~NotifyDispatcher();
    NotifyDispatcher(const NotifyDispatcher&) = delete;
    NotifyDispatcher& operator=(const NotifyDispatcher&) = delete;

    void send(Notification notification);
    // Everything queued or in flight, oldest first per host; nothing is sent after this.
    std::vector<Notification> takeAll();

    // Queued or in flight.
    std::size_t pending() const { return pending_; }

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Queued {
        Notification notification;
        TimePoint since;
    };
    struct HostQueue {
        std::deque<Queued> waiting;
        std::optional<Queued> inFlight;
        std::shared_ptr<NotifyDelivery> delivery;
        std::shared_ptr<NotifyDelivery> next; // opened for the next text, which it does not have yet
        std::unique_ptr<asio::steady_timer> backoff;
        bool waitsForRoom = false;
        int failures = 0;
    };

    void dropOldest(const std::string& host, HostQueue& queue, const std::string& why);
    void startNext(const std::string& host);
    std::shared_ptr<NotifyDelivery> open(const std::string& host, const asio::ip::address& address,
                                         std::string payload);
    void openNext(const std::string& host);
    void dropNext(HostQueue& queue);
    void startWaitingHosts();
    void onFinished(const std::string& host, const NotifyDelivery* which, bool delivered, const std::string& failure);
    void retryLater(const std::string& host, HostQueue& queue, const std::string& failure);
    void giveUpExpired(const std::string& host, HostQueue& queue, const std::string& failure);
    int backoffMs(int failures) const;

    asio::io_context& io_;
    std::uint16_t notifyPort_;
    DispatchLimits limits_;
    LogSink log_;
    Hooks hooks_;
    std::unordered_map<std::string, HostQueue> hosts_;
    std::deque<std::string> waitingForRoom_;
    std::vector<asio::ip::address> sources_;
    std::size_t nextSource_ = 0;
    std::size_t inFlight_ = 0;
    std::size_t pending_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace qornc::server
