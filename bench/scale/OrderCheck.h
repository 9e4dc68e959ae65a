// Whether messages of one sender to one recipient keep their order on the connections that
// carry them. Arrival order is not that order: on loopback a later connection's text can come in
// before an earlier one's, and a client reads its connections oldest first; so each arrival is
// judged by the rank of its connection, against the pair's arrival before it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

class OrderCheck {
public:
    // Returns false when this message and the pair's previous one came on connections in the
    // opposite order to the one they were sent in.
    bool Take(const std::string& pair, std::uint32_t sequence, long connectionRank);
    [[nodiscard]] long outOfOrder() const { return m_outOfOrder; }

private:
    std::unordered_map<std::string, std::pair<std::uint32_t, long>> m_last;
    long m_outOfOrder = 0;
};
