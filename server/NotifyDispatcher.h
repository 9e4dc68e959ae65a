#pragma once

#include "ChatRouter.h"
#include "LogSink.h"

#include <QObject>

#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>

namespace qornc::server {

struct DispatchLimits {
    // Room for a full presence refresh of a 2,000-name contact list.
    std::size_t maxQueuedPerHost = 5'000;
    // The last guard on memory when many hosts fill their queues.
    std::size_t maxQueued = 100'000;
    int connectTimeoutMs = 2'000;
    int timeoutMs = 5'000;
    int maxBackoffMs = 60'000;
    // How long a notification is tried before it is given up.
    int deadlineMs = 60'000;
};

// Sends notifications, one connection each. A host gets one delivery at a time, in the order the
// texts were produced, and a text leaves its queue only once it is written out: a failed try is
// repeated, after a pause that doubles up to `maxBackoffMs`, until the text has waited
// `deadlineMs`; then it is dropped with one log line for all that expired together. Every host has
// a queue of its own, so a slow or dead host delays only its own texts; when its queue is full
// its oldest text goes, and when all queues together are full, the longest one loses its oldest.
class NotifyDispatcher : public QObject {
    Q_OBJECT

public:
    NotifyDispatcher(quint16 notifyPort, DispatchLimits limits, LogSink log, QObject* parent = nullptr);

    void send(Notification notification);

    // Queued or in flight.
    std::size_t pending() const { return pending_; }

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Queued {
        std::string text;
        std::string label;
        TimePoint since;
    };
    struct HostQueue {
        std::deque<Queued> waiting;
        std::optional<Queued> inFlight;
        bool backingOff = false;
        int failures = 0;
    };

    void dropOldest(const std::string& host, HostQueue& queue, const std::string& why);
    void startNext(const std::string& host);
    void onFinished(const std::string& host, bool delivered, const QString& failure);
    void retryLater(const std::string& host, HostQueue& queue, const QString& failure);
    void dropExpired(const std::string& host, HostQueue& queue, const QString& failure);
    int backoffMs(int failures) const;

    quint16 notifyPort_;
    DispatchLimits limits_;
    LogSink log_;
    std::map<std::string, HostQueue> hosts_;
    std::size_t pending_ = 0;
};

} // namespace qornc::server
