// Failed password checks cost time, per host and per name, so guessing is bounded for every account.
//
// A host's first few failures are free; each further one, and each attempt it makes while it
// waits, doubles its wait up to a ceiling. A name's failures make it wait the same way, but only
// for hosts that have failed a few times themselves and never logged in as that name: an attack on
// a name from many hosts cannot lock its owner out, who logs in from a host with a clean record or
// from one it used before.
#pragma once

#include "HostRateLimiter.h"

#include <chrono>
#include <compare>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

struct BackoffLimits {
    // An honest user's first typos cost nothing.
    unsigned freeFailures = 3;
    std::chrono::milliseconds firstDelay = std::chrono::seconds(1);
    std::chrono::milliseconds maxDelay = std::chrono::minutes(15);
    // A record with no failure for this long is forgotten.
    std::chrono::milliseconds memory = std::chrono::hours(1);
};

// Where a slow check waits for a worker; the lower goes first.
struct CheckRank {
    unsigned tier = 1; // 0: a host that logged in as that name before and has few failures
    unsigned load = 0; // failures and checks under way of its host
    auto operator<=>(const CheckRank&) const = default;
};

class LoginBackoff {
public:
    enum class Verdict { Check, HostWaits, NameWaits, HostBusy };

    explicit LoginBackoff(BackoffLimits limits = {}, Clock clock = std::chrono::steady_clock::now);

    // Whether a password for `name` from `host` may be checked now. Check counts the check as
    // under way until `checked` or `dropped` is called for it. Being refused while waiting counts
    // as one more failure of the host.
    Verdict admit(const std::string& host, std::string_view name);
    void checked(const std::string& host, std::string_view name, bool held);
    void dropped(const std::string& host);
    // `host` proved to be the owner's, by a password that held or by registering the name.
    void trust(const std::string& host, std::string_view name);

    CheckRank rank(const std::string& host, std::string_view name) const;
    // How long `host`, or untrusted hosts for `name`, still wait; for the log.
    std::chrono::seconds hostWait(const std::string& host) const;
    std::chrono::seconds nameWait(std::string_view name) const;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Record {
        unsigned failures = 0;
        unsigned underWay = 0;
        TimePoint waitUntil{};
        TimePoint lastFailure{};
        std::vector<std::string> trustedHosts; // names only: hosts that logged in as it, latest last
    };

    void fail(Record& record, TimePoint now) const;
    std::chrono::milliseconds delay(unsigned failures) const;
    bool trusts(const Record& host, const Record& name, const std::string& hostName) const;
    static bool isOwnersHost(const Record& name, const std::string& host);
    static void remember(Record& name, const std::string& host);
    std::chrono::seconds waitOf(const Record* record) const;
    void forgetOld(TimePoint now);

    BackoffLimits limits_;
    Clock clock_;
    std::map<std::string, Record, std::less<>> hosts_;
    std::map<std::string, Record, std::less<>> names_;
    TimePoint lastSweep_{};
};

} // namespace qornc::server
