#include "common/RequestFramer.h"

#include "common/Protocol.h"

void RequestFramer::Feed(std::string_view bytes, std::vector<std::string>& texts)
{
    while (!bytes.empty()) {
        const auto nul = bytes.find('\0');
        AppendRun(bytes.substr(0, nul));
        if (nul == std::string_view::npos)
            return;
        EndRun(texts);
        bytes.remove_prefix(nul + 1);
    }
}

void RequestFramer::AppendRun(std::string_view run)
{
    if (m_discarding || run.empty())
        return;
    if (m_partial.size() + run.size() > kMaxRequestText) {
        // No valid text is this long, so the peer is out of step with us (or hostile). Skip to the
        // next NUL instead of buffering without bound.
        m_partial.clear();
        m_discarding = true;
        ++m_droppedRuns;
        return;
    }
    m_partial.append(run);
}

void RequestFramer::EndRun(std::vector<std::string>& texts)
{
    if (m_discarding) {
        m_discarding = false;
        return;
    }
    if (m_partial.empty())
        return; // fill after the previous text
    texts.push_back(std::move(m_partial));
    m_partial.clear();
}
