// Messages kept for registered users who cannot take them now: logged out, or unreachable past
// the delivery deadline. Each user's wait in arrival order and go out together at that user's
// next login; each is held for a limited time and in limited numbers, per user and in all, so
// that messages for users who never return cannot fill the memory. Every coming and going is
// reported to the HeldMessageLog, which keeps them across a restart.
#pragma once

#include "HeldMessageLog.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

using WallClock = std::function<std::int64_t()>; // Unix time in seconds

struct HoldLimits {
    std::size_t perRecipient = 1'000;
    std::size_t total = 100'000;
    std::chrono::seconds keep = std::chrono::hours(24 * 7);
};

class HeldMessages {
public:
    HeldMessages(HoldLimits limits, HeldMessageLog& log, WallClock clock);

    // Holds a new message; why not when it cannot be held.
    std::optional<std::string> hold(const std::string& recipient, std::string notification);
    // Takes back one that was held before and could not be delivered, in its old place.
    void holdAgain(HeldMessage message);
    // Those recovered at a start, before anything else is held.
    void restore(std::vector<HeldMessage> messages);

    // The recipient's messages in arrival order, given up here; released() once delivered.
    std::vector<HeldMessage> takeFor(std::string_view recipient);
    void released(std::uint64_t id) { log_.released(id); }

    // Drops those held longer than the limit; one entry per recipient with their count.
    std::vector<std::pair<std::string, std::size_t>> expire();

    bool holdsFor(std::string_view recipient) const { return byRecipient_.contains(recipient); }
    std::size_t size() const { return size_; }
    HoldLimits limits() const { return limits_; }

private:
    void insert(HeldMessage message);

    HoldLimits limits_;
    HeldMessageLog& log_;
    WallClock clock_;
    std::map<std::string, std::map<std::uint64_t, HeldMessage>, std::less<>> byRecipient_;
    std::size_t size_ = 0;
    std::uint64_t nextId_;
};

// For a server that keeps nothing across a restart.
class ForgetfulHeldMessageLog final : public HeldMessageLog {
public:
    void held(const HeldMessage&) override {}
    void released(std::uint64_t) override {}
};

} // namespace qornc::server
