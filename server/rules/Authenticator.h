// Who may act as a name on a request connection. A request proves its name by the password it
// carries: compared at once for a name from the accounts file, checked against a slow hash off the
// event loop for a registered one, and remembered per connection once it held, so that a client's
// later requests cost nothing. Every check passes the backoff first, so guessing is bounded for
// every account, and slow checks and new names are limited per host.
#pragma once

#include "AccountBook.h"
#include "ConnectionId.h"
#include "HostRateLimiter.h"
#include "LoginBackoff.h"
#include "PasswordWork.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qornc::server {

struct AuthLimits {
    std::size_t registrationsPerHost = 10;
    std::chrono::milliseconds registrationWindow = std::chrono::hours(1);
    // Slow checks and new names from one host, whether their passwords hold or not.
    std::size_t passwordChecksPerHost = 30;
    std::chrono::milliseconds passwordCheckWindow = std::chrono::minutes(1);
    BackoffLimits backoff;
};

class Authenticator {
public:
    // The most places one slow check tries for the end of a password; each costs a hash.
    static constexpr std::size_t kMaxCandidates = 4;

    struct Verdict {
        enum class Kind { Held, Refused, Work };
        Kind kind;
        std::string password;             // Held: the password that held
        std::string why;                  // Refused
        std::optional<PasswordWork> work; // Work: run it, then pass its outcome to finish()
    };

    Authenticator(AccountBook accounts, AuthLimits limits, const Clock& clock);

    bool knows(std::string_view name) const { return accounts_.contains(name) || registering_.contains(name); }

    // Whether `afterName` begins with the password of `name`: is all of it when `whole`, or
    // else ends at one of its spaces.
    Verdict authorize(ConnectionId connection, const std::string& host, std::string_view name,
                      std::string_view afterName, bool whole);
    // A first login gives a name its password, once hashed and saved.
    Verdict registerName(ConnectionId connection, const std::string& host, std::string_view name,
                         std::string_view password);

    // The outcome of work asked for above; no `connection` when it has closed since. Why the
    // request is refused, if it is.
    std::optional<std::string> finish(std::optional<ConnectionId> connection, const std::string& host,
                                      const PasswordWork& work, const WorkOutcome& outcome);
    // The new account is on disk: its name may be used now, first by the connection returned.
    std::optional<ConnectionId> registrationSaved(std::string_view name);

    void connectionClosed(ConnectionId connection);
    const AccountBook& accounts() const { return accounts_; }

private:
    struct Registration {
        ConnectionId connection;
        bool hashed = false;
    };

    Verdict checkClear(ConnectionId connection, const std::string& host, std::string_view name,
                       const std::vector<std::string_view>& candidates);
    Verdict slowCheck(const std::string& host, std::string_view name, const std::vector<std::string_view>& candidates);
    std::optional<std::string> refusedByBackoff(const std::string& host, std::string_view name);
    std::optional<std::string> finishHash(const PasswordWork& work, const WorkOutcome& outcome);
    const std::string* provenPassword(ConnectionId connection, std::string_view name) const;
    void prove(ConnectionId connection, std::string_view name, std::string_view password);

    AccountBook accounts_;
    LoginBackoff backoff_;
    HostRateLimiter registrations_;
    HostRateLimiter slowChecks_;
    // Passwords that held, by connection and name: later requests on it compare bytes.
    std::map<ConnectionId, std::map<std::string, std::string, std::less<>>> proven_;
    // Names being hashed or saved; nobody may use them until they are on disk.
    std::map<std::string, Registration, std::less<>> registering_;
};

} // namespace qornc::server
