#include "HeldRetrySchedule.h"

#include <algorithm>

namespace qornc::server {

void HeldRetrySchedule::missed(const std::string& name, TimePoint now)
{
    Entry& entry = entries_.try_emplace(name, Entry{now, pauses_.first}).first->second;
    if (entry.scheduled)
        return;
    entry.due = now + entry.pause;
    entry.scheduled = true;
    entry.pause = std::min(entry.pause * 2, pauses_.max);
}

void HeldRetrySchedule::heard(std::string_view name, TimePoint now)
{
    const auto found = entries_.find(name);
    if (found == entries_.end() || !found->second.scheduled)
        return;
    found->second.due = std::min(found->second.due, now);
}

std::vector<std::string> HeldRetrySchedule::takeDue(TimePoint now)
{
    std::vector<std::string> due;
    for (auto& [name, entry] : entries_) {
        if (!entry.scheduled || entry.due > now)
            continue;
        entry.scheduled = false;
        due.push_back(name);
    }
    return due;
}

std::optional<HeldRetrySchedule::TimePoint> HeldRetrySchedule::next() const
{
    std::optional<TimePoint> earliest;
    for (const auto& [name, entry] : entries_) {
        if (entry.scheduled && (!earliest || entry.due < *earliest))
            earliest = entry.due;
    }
    return earliest;
}

} // namespace qornc::server
