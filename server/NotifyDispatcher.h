#pragma once

#include "ChatRouter.h"
#include "LogSink.h"

#include <QObject>

#include <cstddef>
#include <deque>
#include <map>
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
};

// Sends notifications, one connection each. A host gets one delivery at a
// time, so texts reach it in the order they were produced. Every host has a
// queue of its own: a slow or dead host delays only its own texts, and when
// its queue is full its oldest text goes; when all queues together are full,
// the longest one loses its oldest. A host whose deliveries keep
// failing is tried less and less often, up to `maxBackoffMs` apart.
class NotifyDispatcher : public QObject {
    Q_OBJECT

public:
    NotifyDispatcher(quint16 notifyPort, DispatchLimits limits, LogSink log, QObject* parent = nullptr);

    void send(Notification notification);

    // Queued or in flight.
    std::size_t pending() const { return pending_; }

private:
    struct HostQueue {
        std::deque<std::string> texts;
        bool busy = false;
        bool backingOff = false;
        int failures = 0;
    };

    void dropOldest(const std::string& host, HostQueue& queue, const std::string& why);
    void startNext(const std::string& host);
    void onFinished(const std::string& host, bool delivered, const QString& failure);
    int backoffMs(int failures) const;

    quint16 notifyPort_;
    DispatchLimits limits_;
    LogSink log_;
    std::map<std::string, HostQueue> hosts_;
    std::size_t pending_ = 0;
};

} // namespace qornc::server
