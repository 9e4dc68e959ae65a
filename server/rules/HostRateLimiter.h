#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <string>

namespace qornc::server {

using Clock = std::function<std::chrono::steady_clock::time_point()>;

// At most `limit` events per host in any `window`: what keeps one host from
// registering the whole book or keeping the server busy hashing passwords.
class HostRateLimiter {
public:
    HostRateLimiter(std::size_t limit, std::chrono::milliseconds window, Clock clock = std::chrono::steady_clock::now);

    // Counts the event when it is allowed.
    bool allow(const std::string& host);

private:
    void forgetQuietHosts(std::chrono::steady_clock::time_point now);

    std::size_t limit_;
    std::chrono::milliseconds window_;
    Clock clock_;
    std::map<std::string, std::deque<std::chrono::steady_clock::time_point>> recent_;
    std::chrono::steady_clock::time_point lastSweep_{};
};

} // namespace qornc::server
