// How many request connections may be open, in all and from one host, and which one makes room
// when all are taken: one that has not logged in, from the host holding the most of those, its
// oldest first. Idle connections from a few dozen hosts thus cannot keep a newcomer out, and
// logged-in users keep theirs.
#pragma once

#include "ConnectionId.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

namespace qornc::server {

class ConnectionLimits {
public:
    struct Decision {
        bool admit = true;
        std::optional<ConnectionId> evict; // close this one first to make room
        std::string why;                   // why refused, or why a connection is closed for it
    };

    ConnectionLimits(std::size_t maxTotal, std::size_t maxPerHost);

    // `mayEvict` says whether a connection may be closed for a newcomer.
    Decision decide(const std::string& host, const std::function<bool(ConnectionId)>& mayEvict) const;
    void opened(ConnectionId id, const std::string& host);
    void closed(ConnectionId id);

private:
    std::optional<ConnectionId> pickEvictee(const std::function<bool(ConnectionId)>& mayEvict) const;

    std::size_t maxTotal_;
    std::size_t maxPerHost_;
    std::map<ConnectionId, std::string> hosts_; // ids only grow, so the oldest comes first
    std::unordered_map<std::string, std::size_t> perHost_;
};

} // namespace qornc::server
