#include "LoginBackoff.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace qornc::server {

namespace {

// The hosts a name remembers as its owner's; one person rarely uses more.
constexpr std::size_t kTrustedHostsPerName = 8;

constexpr auto kSweepInterval = std::chrono::minutes(1);

template <typename Map>
typename Map::mapped_type& recordOf(Map& records, std::string_view key)
{
    const auto found = records.find(key);
    return found != records.end() ? found->second : records.try_emplace(std::string(key)).first->second;
}

template <typename Map>
const typename Map::mapped_type* findRecord(const Map& records, std::string_view key)
{
    const auto found = records.find(key);
    return found == records.end() ? nullptr : &found->second;
}

} // namespace

LoginBackoff::LoginBackoff(BackoffLimits limits, Clock clock)
    : limits_(limits)
    , clock_(std::move(clock))
{
}

LoginBackoff::Verdict LoginBackoff::admit(const std::string& host, std::string_view name)
{
    const TimePoint now = clock_();
    forgetOld(now);
    Record& hostRecord = recordOf(hosts_, host);
    Record& nameRecord = recordOf(names_, name);
    if (now < hostRecord.waitUntil) {
        fail(hostRecord, now);
        return Verdict::HostWaits;
    }
    const bool trusted = trusts(hostRecord, nameRecord, host);
    if (!trusted && now < nameRecord.waitUntil) {
        fail(hostRecord, now);
        return Verdict::NameWaits;
    }
    // Past its free failures a host gets one check at a time, so that checks it has under way
    // cannot add up to more guesses than its failures allow.
    if (hostRecord.underWay > 0 && hostRecord.failures + hostRecord.underWay >= limits_.freeFailures)
        return Verdict::HostBusy;
    ++hostRecord.underWay;
    // Likewise a name takes one untrusted check at a time: the next waits as if this one failed.
    if (!trusted && nameRecord.failures >= limits_.freeFailures)
        nameRecord.waitUntil = std::max(nameRecord.waitUntil, now + delay(nameRecord.failures + 1));
    return Verdict::Check;
}

void LoginBackoff::checked(const std::string& host, std::string_view name, bool held)
{
    const TimePoint now = clock_();
    dropped(host);
    Record& nameRecord = recordOf(names_, name);
    if (held) {
        remember(nameRecord, host);
        return;
    }
    fail(recordOf(hosts_, host), now);
    fail(nameRecord, now);
}

void LoginBackoff::dropped(const std::string& host)
{
    Record& hostRecord = recordOf(hosts_, host);
    if (hostRecord.underWay > 0)
        --hostRecord.underWay;
}

CheckRank LoginBackoff::rank(const std::string& host, std::string_view name) const
{
    const Record* hostRecord = findRecord(hosts_, host);
    const Record* nameRecord = findRecord(names_, name);
    const unsigned failures = hostRecord ? hostRecord->failures : 0;
    const bool owners = nameRecord && isOwnersHost(*nameRecord, host);
    return {owners && failures < limits_.freeFailures ? 0u : 1u, failures + (hostRecord ? hostRecord->underWay : 0)};
}

std::chrono::seconds LoginBackoff::hostWait(const std::string& host) const
{
    return waitOf(findRecord(hosts_, host));
}

std::chrono::seconds LoginBackoff::nameWait(std::string_view name) const
{
    return waitOf(findRecord(names_, name));
}

std::chrono::seconds LoginBackoff::waitOf(const Record* record) const
{
    const TimePoint now = clock_();
    if (!record || record->waitUntil <= now)
        return std::chrono::seconds(0);
    return std::chrono::ceil<std::chrono::seconds>(record->waitUntil - now);
}

void LoginBackoff::fail(Record& record, TimePoint now) const
{
    if (record.failures < std::numeric_limits<unsigned>::max())
        ++record.failures;
    record.lastFailure = now;
    record.waitUntil = std::max(record.waitUntil, now + delay(record.failures));
}

std::chrono::milliseconds LoginBackoff::delay(unsigned failures) const
{
    if (failures <= limits_.freeFailures)
        return std::chrono::milliseconds(0);
    const unsigned doublings = std::min(failures - limits_.freeFailures - 1, 30u);
    const std::chrono::milliseconds grown = limits_.firstDelay * (1LL << doublings);
    return std::min(grown, limits_.maxDelay);
}

bool LoginBackoff::trusts(const Record& host, const Record& name, const std::string& hostName) const
{
    return host.failures < limits_.freeFailures || isOwnersHost(name, hostName);
}

bool LoginBackoff::isOwnersHost(const Record& name, const std::string& host)
{
    return std::find(name.trustedHosts.begin(), name.trustedHosts.end(), host) != name.trustedHosts.end();
}

void LoginBackoff::trust(const std::string& host, std::string_view name)
{
    remember(recordOf(names_, name), host);
}

void LoginBackoff::remember(Record& name, const std::string& host)
{
    std::erase(name.trustedHosts, host);
    name.trustedHosts.push_back(host);
    if (name.trustedHosts.size() > kTrustedHostsPerName)
        name.trustedHosts.erase(name.trustedHosts.begin());
}

void LoginBackoff::forgetOld(TimePoint now)
{
    if (now - lastSweep_ < kSweepInterval)
        return;
    lastSweep_ = now;
    const auto isOld = [&](const Record& record) {
        return record.underWay == 0 && record.waitUntil <= now && now - record.lastFailure >= limits_.memory;
    };
    std::erase_if(hosts_, [&](const auto& entry) { return isOld(entry.second); });
    // A name keeps the hosts that proved to be its owner's.
    for (auto it = names_.begin(); it != names_.end();) {
        if (!isOld(it->second))
            ++it;
        else if (it->second.trustedHosts.empty())
            it = names_.erase(it);
        else
            (it++)->second.failures = 0;
    }
}

} // namespace qornc::server
