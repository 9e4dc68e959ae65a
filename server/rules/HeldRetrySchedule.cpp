#include "HeldRetrySchedule.h"

#include <algorithm>

namespace qornc::server {

void HeldRetrySchedule::missed(const std::string& name, TimePoint now)
{
    Entry& entry = entries_.try_emplace(name, Entry{pauses_.first}).first->second;
    if (entry.due)
        return;
    entry.due = now + entry.pause;
    dueOrder_.emplace(*entry.due, name);
    entry.pause = std::min(entry.pause * 2, pauses_.max);
}

void HeldRetrySchedule::heard(std::string_view name, TimePoint now)
{
    const auto found = entries_.find(name);
    if (found == entries_.end() || !found->second.due || *found->second.due <= now)
        return;
    dueOrder_.erase({*found->second.due, found->first});
    found->second.due = now;
    dueOrder_.emplace(now, found->first);
}

void HeldRetrySchedule::forget(std::string_view name)
{
    const auto found = entries_.find(name);
    if (found == entries_.end())
        return;
    if (found->second.due)
        dueOrder_.erase({*found->second.due, found->first});
    entries_.erase(found);
}

std::vector<std::string> HeldRetrySchedule::takeDue(TimePoint now)
{
    std::vector<std::string> due;
    while (!dueOrder_.empty() && dueOrder_.begin()->first <= now) {
        auto node = dueOrder_.extract(dueOrder_.begin());
        entries_.find(node.value().second)->second.due.reset();
        due.push_back(std::move(node.value().second));
    }
    return due;
}

std::optional<HeldRetrySchedule::TimePoint> HeldRetrySchedule::next() const
{
    if (dueOrder_.empty())
        return std::nullopt;
    return dueOrder_.begin()->first;
}

} // namespace qornc::server
