// Recovers request texts from the byte stream of one request connection. Clients pad every request
// to a fixed block with NULs, but the block size varies per request, so block boundaries are found
// from the NUL fill rather than from a size: a text ends at its first NUL and any NULs after it are
// fill.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class RequestFramer {
public:
    // Bytes may arrive split anywhere; complete texts are appended to texts. A run longer than
    // kMaxRequestText is dropped whole, up to its NUL.
    void Feed(std::string_view bytes, std::vector<std::string>& texts);

    // Runs longer than kMaxRequestText that were thrown away.
    [[nodiscard]] std::size_t droppedRuns() const { return m_droppedRuns; }
    [[nodiscard]] std::size_t buffered() const { return m_partial.size(); }

private:
    void AppendRun(std::string_view run);
    void EndRun(std::vector<std::string>& texts);

    std::string m_partial;
    bool m_discarding = false;
    std::size_t m_droppedRuns = 0;
};
