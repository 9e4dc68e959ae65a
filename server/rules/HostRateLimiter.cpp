#include "HostRateLimiter.h"

#include <utility>

namespace qornc::server {

HostRateLimiter::HostRateLimiter(std::size_t limit, std::chrono::milliseconds window, Clock clock)
    : limit_(limit)
    , window_(window)
    , clock_(std::move(clock))
{
}

bool HostRateLimiter::allow(const std::string& host)
{
    const auto now = clock_();
    forgetQuietHosts(now);
    auto& times = recent_[host];
    while (!times.empty() && now - times.front() >= window_)
        times.pop_front();
    if (times.size() >= limit_)
        return false;
    times.push_back(now);
    return true;
}

void HostRateLimiter::forgetQuietHosts(std::chrono::steady_clock::time_point now)
{
    // Hosts seen once must not pile up for the life of the server.
    if (now - lastSweep_ < window_)
        return;
    lastSweep_ = now;
    std::erase_if(recent_, [&](const auto& entry) {
        return entry.second.empty() || now - entry.second.back() >= window_;
    });
}

} // namespace qornc::server
