// When the messages held for users who are logged in, but whose hosts did not take them by the
// delivery deadline, are tried again. Such a user never logs in anew by itself, so waiting for
// the next login would silence them for good. Each user's pause doubles after every try, up to a
// bound, so that a host that stays away costs little; any request from the user makes the next
// try due at once, as it proves the host is there again. One schedule for all users, so that the
// server needs one timer, not one per message.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qornc::server {

struct RetryPauses {
    std::chrono::milliseconds first{1'000};
    std::chrono::milliseconds max{60'000};
};

class HeldRetrySchedule {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit HeldRetrySchedule(RetryPauses pauses = {})
        : pauses_(pauses)
    {
    }

    // The user's host missed a deadline: a try is due after the pause, which doubles for the next
    // miss, up to the bound. A miss while a try is already due changes nothing.
    void missed(const std::string& name, TimePoint now);
    // A request from the user: the next try is due now.
    void heard(std::string_view name, TimePoint now);
    // Something reached the user, or the user left: the pauses start again from the first.
    void forget(std::string_view name);

    // Users whose try is due; theirs is under way from now on.
    std::vector<std::string> takeDue(TimePoint now);
    // When the earliest try falls, if any user waits for one.
    std::optional<TimePoint> next() const;

private:
    struct Entry {
        std::chrono::milliseconds pause;
        std::optional<TimePoint> due{}; // none: a try is under way
    };

    RetryPauses pauses_;
    std::map<std::string, Entry, std::less<>> entries_;
    // The tries that are due, earliest first, so that no call looks at every user.
    std::set<std::pair<TimePoint, std::string>> dueOrder_;
};

} // namespace qornc::server
