#include "Authenticator.h"

#include "common/RequestText.h"

#include <utility>

namespace qornc::server {

namespace {

Authenticator::Verdict held(std::string password)
{
    return {Authenticator::Verdict::Kind::Held, std::move(password), {}, std::nullopt};
}

Authenticator::Verdict refused(std::string why)
{
    return {Authenticator::Verdict::Kind::Refused, {}, std::move(why), std::nullopt};
}

Authenticator::Verdict needs(PasswordWork work)
{
    return {Authenticator::Verdict::Kind::Work, {}, {}, std::move(work)};
}

bool holdsProven(const std::string& proven, std::string_view afterName, bool whole)
{
    return afterName == proven || (!whole && FieldsAfterPassword(afterName, proven));
}

std::string seconds(std::chrono::seconds wait)
{
    return std::to_string(wait.count()) + " s";
}

} // namespace

Authenticator::Authenticator(AccountBook accounts, AuthLimits limits, const Clock& clock)
    : accounts_(std::move(accounts))
    , backoff_(limits.backoff, clock)
    , registrations_(limits.registrationsPerHost, limits.registrationWindow, clock)
    , slowChecks_(limits.passwordChecksPerHost, limits.passwordCheckWindow, clock)
{
}

Authenticator::Verdict Authenticator::authorize(ConnectionId connection, const std::string& host,
                                                std::string_view name, std::string_view afterName, bool whole)
{
    if (registering_.contains(name))
        return refused("registration of that name is under way");
    // A name has one password for good: once a connection proved it, nothing else holds.
    if (const std::string* proven = provenPassword(connection, name))
        return holdsProven(*proven, afterName, whole) ? held(*proven) : refused("wrong password");
    const auto candidates = whole ? std::vector{afterName} : PasswordCandidates(afterName, kMaxCandidates);
    if (candidates.empty())
        return refused("wrong password");
    if (auto why = refusedByBackoff(host, name))
        return refused(std::move(*why));
    if (!accounts_.isSlowToCheck(name))
        return checkClear(connection, host, name, candidates);
    return slowCheck(host, name, candidates);
}

Authenticator::Verdict Authenticator::registerName(ConnectionId connection, const std::string& host,
                                                   std::string_view name, std::string_view password)
{
    if (registering_.contains(name))
        return refused("registration of that name is under way");
    if (accounts_.full())
        return refused("too many accounts");
    if (!registrations_.allow(host))
        return refused("too many new names from that host");
    if (!slowChecks_.allow(host))
        return refused("too many password hashes for that host");
    registering_.insert_or_assign(std::string(name), Registration{connection});
    prove(connection, name, password);
    return needs({.kind = PasswordWork::Kind::Hash,
                  .name = std::string(name),
                  .passwords = {std::string(password)},
                  .hasher = accounts_.hasher(),
                  .rank = backoff_.rank(host, name)});
}

std::optional<std::string> Authenticator::refusedByBackoff(const std::string& host, std::string_view name)
{
    switch (backoff_.admit(host, name)) {
    case LoginBackoff::Verdict::Check:
        return std::nullopt;
    case LoginBackoff::Verdict::HostWaits:
        return "too many failed logins from that host, next try in " + seconds(backoff_.hostWait(host));
    case LoginBackoff::Verdict::NameWaits:
        return "too many failed logins for that name, next try from that host in " + seconds(backoff_.nameWait(name));
    case LoginBackoff::Verdict::HostBusy:
        break;
    }
    return "another password check for that host is under way";
}

Authenticator::Verdict Authenticator::checkClear(ConnectionId connection, const std::string& host,
                                                 std::string_view name, const std::vector<std::string_view>& candidates)
{
    for (const std::string_view candidate : candidates) {
        if (accounts_.clearMatches(name, candidate)) {
            backoff_.checked(host, name, true);
            prove(connection, name, candidate);
            return held(std::string(candidate));
        }
    }
    backoff_.checked(host, name, false);
    return refused("wrong password");
}

Authenticator::Verdict Authenticator::slowCheck(const std::string& host, std::string_view name,
                                                const std::vector<std::string_view>& candidates)
{
    if (!slowChecks_.allow(host)) {
        backoff_.dropped(host);
        return refused("too many password checks for that host");
    }
    return needs({.kind = PasswordWork::Kind::Verify,
                  .name = std::string(name),
                  .storedHash = accounts_.storedHash(name),
                  .passwords = {candidates.begin(), candidates.end()},
                  .hasher = accounts_.hasher(),
                  .rank = backoff_.rank(host, name)});
}

std::optional<std::string> Authenticator::finish(std::optional<ConnectionId> connection, const std::string& host,
                                                 const PasswordWork& work, const WorkOutcome& outcome)
{
    if (work.kind == PasswordWork::Kind::Hash) {
        auto why = finishHash(work, outcome);
        if (!why)
            backoff_.trust(host, work.name);
        return why;
    }
    if (!outcome.ran) {
        backoff_.dropped(host);
        return "not checked, too many password checks waiting";
    }
    backoff_.checked(host, work.name, outcome.matched.has_value());
    if (!outcome.matched)
        return "wrong password";
    if (outcome.hash)
        accounts_.rehash(work.name, *outcome.hash);
    if (connection)
        prove(*connection, work.name, work.passwords[*outcome.matched]);
    return std::nullopt;
}

std::optional<std::string> Authenticator::finishHash(const PasswordWork& work, const WorkOutcome& outcome)
{
    const auto found = registering_.find(work.name);
    if (found == registering_.end())
        return "registration lost";
    std::optional<std::string> why;
    if (!outcome.ran)
        why = "too many password checks waiting";
    else if (!outcome.hash)
        why = "cannot hash the password";
    else if (!accounts_.addHashed(work.name, *outcome.hash))
        why = "too many accounts";
    if (why)
        registering_.erase(found);
    else
        found->second.hashed = true;
    return why;
}

std::optional<ConnectionId> Authenticator::registrationSaved(std::string_view name)
{
    const auto found = registering_.find(name);
    if (found == registering_.end() || !found->second.hashed)
        return std::nullopt;
    const ConnectionId connection = found->second.connection;
    registering_.erase(found);
    return connection;
}

const std::string* Authenticator::provenPassword(ConnectionId connection, std::string_view name) const
{
    const auto names = proven_.find(connection);
    if (names == proven_.end())
        return nullptr;
    const auto found = names->second.find(name);
    return found == names->second.end() ? nullptr : &found->second;
}

void Authenticator::prove(ConnectionId connection, std::string_view name, std::string_view password)
{
    proven_[connection].insert_or_assign(std::string(name), std::string(password));
}

void Authenticator::connectionClosed(ConnectionId connection)
{
    proven_.erase(connection);
}

} // namespace qornc::server
