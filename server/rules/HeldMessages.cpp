#include "HeldMessages.h"

#include <algorithm>
#include <utility>

namespace qornc::server {

HeldMessages::HeldMessages(HoldLimits limits, HeldMessageLog& log, WallClock clock)
    : limits_(limits)
    , log_(log)
    , clock_(std::move(clock))
    // Ids stay unique across restarts, as long as the clock does not go back: they start from the
    // time in microseconds.
    , nextId_(static_cast<std::uint64_t>(std::max<std::int64_t>(clock_(), 0)) * 1'000'000)
{
}

std::optional<std::string> HeldMessages::hold(const std::string& recipient, std::string notification)
{
    const auto own = byRecipient_.find(recipient);
    const std::size_t forRecipient = own == byRecipient_.end() ? 0 : own->second.size();
    if (forRecipient >= limits_.perRecipient)
        return std::to_string(forRecipient) + " messages held for " + recipient;
    if (size_ >= limits_.total)
        return std::to_string(size_) + " messages held in all";
    HeldMessage message{nextId_++, recipient, std::move(notification), clock_()};
    log_.held(message);
    insert(std::move(message));
    return std::nullopt;
}

void HeldMessages::holdAgain(HeldMessage message)
{
    insert(std::move(message));
}

void HeldMessages::restore(std::vector<HeldMessage> messages)
{
    for (HeldMessage& message : messages) {
        nextId_ = std::max(nextId_, message.id + 1);
        insert(std::move(message));
    }
}

void HeldMessages::insert(HeldMessage message)
{
    auto& own = byRecipient_[message.recipient];
    if (own.emplace(message.id, std::move(message)).second)
        ++size_;
}

std::vector<HeldMessage> HeldMessages::takeFor(std::string_view recipient)
{
    std::vector<HeldMessage> taken;
    const auto own = byRecipient_.find(recipient);
    if (own == byRecipient_.end())
        return taken;
    for (auto& [id, message] : own->second)
        taken.push_back(std::move(message));
    size_ -= taken.size();
    byRecipient_.erase(own);
    return taken;
}

std::vector<std::pair<std::string, std::size_t>> HeldMessages::expire()
{
    std::vector<std::pair<std::string, std::size_t>> expired;
    const std::int64_t oldest = clock_() - static_cast<std::int64_t>(limits_.keep.count());
    for (auto own = byRecipient_.begin(); own != byRecipient_.end();) {
        const std::size_t before = own->second.size();
        std::erase_if(own->second, [&](const auto& entry) {
            if (entry.second.heldAtSeconds > oldest)
                return false;
            log_.released(entry.first);
            return true;
        });
        if (const std::size_t gone = before - own->second.size(); gone > 0) {
            expired.emplace_back(own->first, gone);
            size_ -= gone;
        }
        own = own->second.empty() ? byRecipient_.erase(own) : std::next(own);
    }
    return expired;
}

} // namespace qornc::server
