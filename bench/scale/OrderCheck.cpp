#include "OrderCheck.h"

bool OrderCheck::Take(const std::string& pair, std::uint32_t sequence, long connectionRank)
{
    const std::pair<std::uint32_t, long> now{sequence, connectionRank};
    const auto [previous, first] = m_last.try_emplace(pair, now);
    if (first)
        return true;
    const bool kept = (now.first < previous->second.first) == (now.second < previous->second.second);
    previous->second = now;
    if (!kept)
        ++m_outOfOrder;
    return kept;
}
