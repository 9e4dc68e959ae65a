#pragma once

#include "HostRateLimiter.h"
#include "LogSink.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <string>

namespace qornc::server {

// Keeps a flood of similar lines from filling the disk. Lines of one kind
// (the same first word) beyond `limit` in a window are counted instead of
// written, and the count is written once that window has ended.
class LogThrottle {
public:
    LogThrottle(LogSink out, std::size_t limit, std::chrono::milliseconds window = std::chrono::minutes(1),
                Clock clock = std::chrono::steady_clock::now);
    ~LogThrottle() { flushAll(); }

    void line(const std::string& text);
    // Writes the counts of windows that have ended; call it now and then so
    // that a flood that stopped still gets its summary.
    void flushDue();
    void flushAll();

private:
    struct Kind {
        std::chrono::steady_clock::time_point start;
        std::size_t written = 0;
        std::size_t suppressed = 0;
    };

    void summarise(const std::string& kind, Kind& counts);

    LogSink out_;
    std::size_t limit_;
    std::chrono::milliseconds window_;
    Clock clock_;
    std::map<std::string, Kind> kinds_;
};

} // namespace qornc::server
