#include "BlockFramer.h"

namespace qornc::server {

void BlockFramer::feed(std::string_view bytes, std::vector<std::string>& texts)
{
    while (!bytes.empty()) {
        const auto nul = bytes.find('\0');
        appendRun(bytes.substr(0, nul));
        if (nul == std::string_view::npos)
            return;
        endRun(texts);
        bytes.remove_prefix(nul + 1);
    }
}

void BlockFramer::appendRun(std::string_view run)
{
    if (discarding_ || run.empty())
        return;
    if (partial_.size() + run.size() > kMaxText) {
        // No valid text is this long, so the peer is out of step with us (or
        // hostile). Skip to the next NUL instead of buffering without bound.
        partial_.clear();
        discarding_ = true;
        ++droppedRuns_;
        return;
    }
    partial_.append(run);
}

void BlockFramer::endRun(std::vector<std::string>& texts)
{
    if (discarding_) {
        discarding_ = false;
        return;
    }
    if (partial_.empty())
        return; // fill after the previous text
    texts.push_back(std::move(partial_));
    partial_.clear();
}

} // namespace qornc::server
