#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

// Recovers request texts from the byte stream of one request connection.
// Clients pad every request to a fixed block with NULs, but the block size
// varies per request, so block boundaries are found from the NUL fill rather
// than from a size: a text ends at its first NUL and any NULs after it are fill.
class BlockFramer {
public:
    static constexpr std::size_t kMaxText = 255;

    // Bytes may arrive split anywhere; complete texts are appended to `texts`.
    void feed(std::string_view bytes, std::vector<std::string>& texts);

    // Runs longer than kMaxText that were thrown away.
    std::size_t droppedRuns() const { return droppedRuns_; }
    std::size_t buffered() const { return partial_.size(); }

private:
    void appendRun(std::string_view run);
    void endRun(std::vector<std::string>& texts);

    std::string partial_;
    bool discarding_ = false;
    std::size_t droppedRuns_ = 0;
};

} // namespace qornc::server
