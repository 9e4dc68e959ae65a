#include "ConnectionLimits.h"

namespace qornc::server {

ConnectionLimits::ConnectionLimits(std::size_t maxTotal, std::size_t maxPerHost)
    : maxTotal_(maxTotal)
    , maxPerHost_(maxPerHost)
{
}

ConnectionLimits::Decision ConnectionLimits::decide(const std::string& host,
                                                    const std::function<bool(ConnectionId)>& mayEvict) const
{
    const auto fromHost = perHost_.find(host);
    if (fromHost != perHost_.end() && fromHost->second >= maxPerHost_)
        return {false, std::nullopt, std::to_string(fromHost->second) + " connections open from that host"};
    if (hosts_.size() < maxTotal_)
        return {};
    const std::string full = std::to_string(hosts_.size()) + " connections open";
    const auto evictee = pickEvictee(mayEvict);
    if (!evictee)
        return {false, std::nullopt, full};
    return {true, evictee, "no login yet, " + full + ", room made for " + host};
}

std::optional<ConnectionId> ConnectionLimits::pickEvictee(const std::function<bool(ConnectionId)>& mayEvict) const
{
    struct Idle {
        std::size_t count = 0;
        ConnectionId oldest = 0;
    };
    std::unordered_map<std::string, Idle> idle;
    const Idle* most = nullptr;
    for (const auto& [id, host] : hosts_) {
        if (!mayEvict(id))
            continue;
        Idle& entry = idle[host];
        if (entry.count++ == 0)
            entry.oldest = id;
        if (!most || entry.count > most->count || (entry.count == most->count && entry.oldest < most->oldest))
            most = &entry;
    }
    return most ? std::optional(most->oldest) : std::nullopt;
}

void ConnectionLimits::opened(ConnectionId id, const std::string& host)
{
    hosts_.emplace(id, host);
    ++perHost_[host];
}

void ConnectionLimits::closed(ConnectionId id)
{
    const auto found = hosts_.find(id);
    if (found == hosts_.end())
        return;
    if (--perHost_[found->second] == 0)
        perHost_.erase(found->second);
    hosts_.erase(found);
}

} // namespace qornc::server
