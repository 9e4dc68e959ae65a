#pragma once

#include "ChatRouter.h"
#include "LogSink.h"

#include <QObject>

#include <cstddef>
#include <deque>
#include <map>
#include <set>
#include <string>

namespace qornc::server {

struct DispatchLimits {
    std::size_t maxPending = 10'000;
    int timeoutMs = 5'000;
};

// Sends notifications, one connection each. A host gets one delivery at a
// time, so texts reach it in the order they were produced; different hosts do
// not wait for each other, and an unreachable host costs at most the timeout
// per queued text and never more than `maxPending` texts in memory.
class NotifyDispatcher : public QObject {
    Q_OBJECT

public:
    NotifyDispatcher(quint16 notifyPort, DispatchLimits limits, LogSink log, QObject* parent = nullptr);

    void send(Notification notification);

    // Queued or in flight.
    std::size_t pending() const { return pending_; }

private:
    void startNext(const std::string& host);
    void onFinished(const std::string& host, bool delivered, const QString& failure);

    quint16 notifyPort_;
    DispatchLimits limits_;
    LogSink log_;
    std::map<std::string, std::deque<std::string>> queues_;
    std::set<std::string> busyHosts_;
    std::size_t pending_ = 0;
};

} // namespace qornc::server
