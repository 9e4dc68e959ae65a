#include "LogThrottle.h"

#include <utility>

namespace qornc::server {

LogThrottle::LogThrottle(LogSink out, std::size_t limit, std::chrono::milliseconds window, Clock clock)
    : out_(std::move(out))
    , limit_(limit)
    , window_(window)
    , clock_(std::move(clock))
{
}

void LogThrottle::line(const std::string& text)
{
    flushDue();
    const auto now = clock_();
    Kind& counts = kinds_.try_emplace(text.substr(0, text.find(' ')), Kind{now}).first->second;
    if (counts.written < limit_) {
        ++counts.written;
        out_(text);
    } else {
        ++counts.suppressed;
    }
}

void LogThrottle::flushDue()
{
    const auto now = clock_();
    for (auto it = kinds_.begin(); it != kinds_.end();) {
        if (now - it->second.start < window_) {
            ++it;
            continue;
        }
        summarise(it->first, it->second);
        it = kinds_.erase(it);
    }
}

void LogThrottle::flushAll()
{
    for (auto& [kind, counts] : kinds_)
        summarise(kind, counts);
    kinds_.clear();
}

void LogThrottle::summarise(const std::string& kind, Kind& counts)
{
    if (counts.suppressed > 0)
        out_("... " + std::to_string(counts.suppressed) + " similar lines suppressed (" + kind + ")");
}

} // namespace qornc::server
