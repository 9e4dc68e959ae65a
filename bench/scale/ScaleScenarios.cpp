#include "ScaleScenarios.h"

#include <sys/resource.h>

#include <cmath>

#include "UserAddress.h"
#include "common/RequestBlock.h"

namespace {

double Seconds(BenchClock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// The generator's own CPU time: near a whole core, a figure says more about it than the target.
double GeneratorCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Message texts as long as a typical line, so that the blocks carry real bytes.
constexpr std::size_t kMessageLength = 40;

}  // namespace

ScaleScenarios::ScaleScenarios(EventLoop& loop, UserFleet& fleet, const TargetProcess& target,
                               ScenarioOptions options)
    : m_loop(loop)
    , m_fleet(fleet)
    , m_target(target)
    , m_options(options)
{
    m_fleet.OnDelivery([this](int user, const Delivery& delivery, BenchClock::time_point at) {
        Take(user, delivery, at);
    });
}

BenchClock::time_point ScaleScenarios::Bound() const
{
    return BenchClock::now() + std::chrono::duration_cast<BenchClock::duration>(
                                   std::chrono::duration<double>(m_options.boundSeconds));
}

void ScaleScenarios::Take(int user, const Delivery& delivery, BenchClock::time_point at)
{
    ++m_deliveriesSeen;
    Tally& tally = m_tally;
    if (delivery.kind == DeliveryKind::GetBuddy && user == tally.answersFor) {
        ++tally.answers;
        tally.last = at;
        return;
    }
    if (delivery.kind != DeliveryKind::Message || delivery.run != tally.run || delivery.sequence >= tally.seen.size())
        return;
    char& seen = tally.seen[delivery.sequence];
    if (seen) {
        ++tally.duplicates;
        return;
    }
    seen = 1;
    ++tally.delivered;
    tally.last = at;
    tally.latencyMs.push_back(1000 * Seconds(at - tally.sentAt[delivery.sequence]));
    tally.latencyOf[delivery.sequence] = tally.latencyMs.back();
    tally.order.Take(delivery.name + ' ' + UserName(user), delivery.sequence, delivery.connection);
}

void ScaleScenarios::BeginRun(std::size_t messages, int answersFor)
{
    const std::uint32_t run = m_tally.run + 1;
    m_tally = Tally{};
    m_tally.run = run;
    m_tally.sentAt.resize(messages);
    m_tally.seen.assign(messages, 0);
    m_tally.latencyMs.reserve(messages);
    m_tally.latencyOf.assign(messages, -1);
    m_tally.answersFor = answersFor;
    m_tally.last = BenchClock::now();
    m_runCpuSeconds = GeneratorCpuSeconds();
}

void ScaleScenarios::AddGeneratorLoad(const std::string& name, BenchClock::time_point start)
{
    const double seconds = Seconds(BenchClock::now() - start);
    Add(name + "_generator_cpu_percent", seconds > 0 ? 100 * (GeneratorCpuSeconds() - m_runCpuSeconds) / seconds : 0);
}

void ScaleScenarios::SendMessage(int sender, int recipient, std::uint32_t sequence)
{
    const auto block = MessageBlock(UserName(sender), m_fleet.Password(sender), UserName(recipient),
                                    SequencedText(m_tally.run, sequence, kMessageLength));
    m_tally.sentAt[sequence] = BenchClock::now();
    if (block)
        m_fleet.Send(sender, *block);
}

void ScaleScenarios::Settle()
{
    // Until nothing has arrived for a while, so one scenario's tail does not load the next.
    constexpr auto kQuiet = std::chrono::milliseconds(300);
    long seen = -1;
    auto quietSince = BenchClock::now();
    m_loop.RunUntil(
        [&] {
            if (seen != m_deliveriesSeen) {
                seen = m_deliveriesSeen;
                quietSince = BenchClock::now();
            }
            return BenchClock::now() - quietSince >= kQuiet;
        },
        BenchClock::now() + std::chrono::seconds(20), {}, 20);
}

void ScaleScenarios::Login(int upTo)
{
    const long rssBefore = m_target.RssKib();
    const auto start = BenchClock::now();
    m_fleet.StartLogins(upTo);
    m_loop.RunUntil([&] { return m_fleet.loginsSettled(); }, Bound());
    const double seconds = Seconds(BenchClock::now() - start);
    Add("login_seconds", seconds);
    Add("login_per_second", m_fleet.loggedIn() / seconds);
    Add("logged_in", m_fleet.loggedIn());
    Add("login_failures", m_fleet.loginFailures());
    Settle();
    const long rssAfter = m_target.RssKib();
    Add("rss_mib", double(rssAfter) / 1024);
    Add("rss_kib_per_user", m_fleet.loggedIn() > 0 ? double(rssAfter - rssBefore) / m_fleet.loggedIn() : 0);
}

void ScaleScenarios::Idle()
{
    const auto span = std::chrono::duration_cast<BenchClock::duration>(std::chrono::duration<double>(m_options.idleSeconds));
    m_loop.RunUntil([] { return false; }, BenchClock::now() + std::chrono::seconds(2), {}, 100);
    const long long before = m_target.CpuNanoseconds();
    const auto start = BenchClock::now();
    m_loop.RunUntil([] { return false; }, start + span, {}, 100);
    const double seconds = Seconds(BenchClock::now() - start);
    Add("idle_cpu_percent", 100.0 * double(m_target.CpuNanoseconds() - before) / 1e9 / seconds);
}

void ScaleScenarios::AddThroughput(const std::string& name, BenchClock::time_point start, long sent)
{
    const double seconds = Seconds(m_tally.last - start);
    Add(name + "_per_second", seconds > 0 ? double(m_tally.delivered) / seconds : 0);
    Add(name + "_seconds", seconds);
    Add(name + "_sent", double(sent));
    Add(name + "_delivered", double(m_tally.delivered));
    Add(name + "_out_of_order", double(m_tally.order.outOfOrder()));
    Add(name + "_duplicates", double(m_tally.duplicates));
    AddGeneratorLoad(name, start);
}

void ScaleScenarios::MessagesToManyHosts()
{
    const int users = m_fleet.users();
    const int count = users > 1 ? m_options.manyHostMessages : 0;
    BeginRun(std::size_t(count));
    const auto start = BenchClock::now();
    for (int k = 0; k < count; ++k) {
        const int sender = k % users;
        // Any other user, spread so that every host gets about as many.
        SendMessage(sender, (sender + 1 + (k / users * 7919 + k) % (users - 1)) % users, std::uint32_t(k));
    }
    m_loop.RunUntil([&] { return m_tally.delivered >= count; }, Bound());
    AddThroughput("many_hosts", start, count);
    Settle();
}

void ScaleScenarios::MessagesToOneHost()
{
    const int users = m_fleet.users();
    const int count = users > 1 ? m_options.oneHostMessages : 0;
    BeginRun(std::size_t(count));
    const auto start = BenchClock::now();
    for (int k = 0; k < count; ++k)
        SendMessage(1 + k % (users - 1), 0, std::uint32_t(k));
    m_loop.RunUntil([&] { return m_tally.delivered >= count; }, Bound());
    AddThroughput("one_host", start, count);
    Settle();
}

void ScaleScenarios::Refresh()
{
    // Another user than the one host of the scenario before, in case its tail still arrives.
    const int refresher = m_fleet.users() > 1 ? 1 : 0;
    const int contacts = m_options.refreshContacts;
    const long expected = 2L * contacts - 1;
    BeginRun(0, refresher);
    const auto start = BenchClock::now();
    // As the client refreshes: the first contact asked once, every further one twice in a row.
    for (int contact = 0; contact < contacts; ++contact) {
        const int user = contact < refresher ? contact : contact + 1;
        const auto block = GetBuddyBlock(UserName(refresher), m_fleet.Password(refresher), UserName(user));
        for (int copy = 0; block && copy < (contact == 0 ? 1 : 2); ++copy)
            m_fleet.Send(refresher, *block);
    }
    m_loop.RunUntil([&] { return m_tally.answers >= expected; }, Bound());
    Add("refresh_seconds", Seconds(m_tally.last - start));
    Add("refresh_answers", double(m_tally.answers));
    Add("refresh_expected", double(expected));
    AddGeneratorLoad("refresh", start);
    Settle();
}

void ScaleScenarios::SendDueAtRate(int users, int rate, BenchClock::time_point start, std::size_t count,
                                   std::size_t& sent)
{
    // Open loop: message k leaves at k / rate, however late the earlier ones come back.
    const double due = Seconds(BenchClock::now() - start) * rate;
    for (; sent < count && double(sent) <= due; ++sent) {
        const int sender = int(sent % std::size_t(users));
        const int hop = 1 + int(sent * 7919 % std::size_t(users - 1));
        SendMessage(sender, (sender + hop) % users, std::uint32_t(sent));
    }
}

void ScaleScenarios::AddLatency(const std::string& prefix, const std::vector<double>& samples)
{
    const LatencySummary summary = Summarize(samples);
    Add(prefix + "_p50_ms", summary.p50);
    Add(prefix + "_p99_ms", summary.p99);
    Add(prefix + "_max_ms", summary.max);
}

void ScaleScenarios::LatencyAtFixedRate()
{
    const int users = std::min(m_fleet.users(), m_options.latencyUsers);
    const auto count = users > 1 ? std::size_t(std::lround(m_options.latencyRate * m_options.latencySeconds)) : 0;
    BeginRun(count);
    const auto start = BenchClock::now();
    std::size_t sent = 0;
    m_loop.RunUntil([&] { return sent >= count && m_tally.delivered >= long(count); }, Bound(),
                    [&] { SendDueAtRate(users, m_options.latencyRate, start, count, sent); }, 1);
    Add("latency_users", users);
    Add("latency_rate", m_options.latencyRate);
    AddLatency("latency", m_tally.latencyMs);
    Add("latency_sent", double(sent));
    Add("latency_delivered", double(m_tally.delivered));
    Settle();
}

void ScaleScenarios::LatencyWhileRegistering(int newNames)
{
    const int users = m_fleet.users() - newNames;
    const int rate = m_options.registrationRate;
    const auto count = users > 1 ? std::size_t(std::lround(rate * m_options.registrationSeconds)) : 0;
    BeginRun(count);
    const int inBefore = m_fleet.loggedIn();
    const int failedBefore = m_fleet.loginFailures();
    const auto start = BenchClock::now();
    std::size_t sent = 0;
    // The messages sent from the first registration's start to the last one's answer.
    std::size_t firstDuring = 0;
    std::size_t endDuring = 0;
    BenchClock::time_point registrationStart{};
    BenchClock::time_point registrationEnd{};
    bool started = false;
    bool ended = false;
    const auto tick = [&] {
        SendDueAtRate(users, rate, start, count, sent);
        if (!started && Seconds(BenchClock::now() - start) >= m_options.registerAfterSeconds) {
            started = true;
            firstDuring = sent;
            registrationStart = BenchClock::now();
            m_fleet.StartLogins();
        }
        if (started && !ended && m_fleet.loginsSettled()) {
            ended = true;
            endDuring = sent;
            registrationEnd = BenchClock::now();
        }
    };
    m_loop.RunUntil([&] { return ended && sent >= count && m_tally.delivered >= long(count); }, Bound(), tick, 1);
    if (!ended)
        endDuring = sent;
    std::vector<double> during;
    for (std::size_t k = firstDuring; k < endDuring; ++k)
        if (m_tally.latencyOf[k] >= 0)
            during.push_back(m_tally.latencyOf[k]);
    Add("registration_users", users);
    Add("registration_rate", rate);
    AddLatency("registration_window", m_tally.latencyMs);
    AddLatency("registering", during);
    Add("registering_messages", double(endDuring - firstDuring));
    Add("registration_sent", double(sent));
    Add("registration_delivered", double(m_tally.delivered));
    Add("registered", m_fleet.loggedIn() - inBefore);
    Add("registration_failures", m_fleet.loginFailures() - failedBefore);
    Add("registration_seconds", ended ? Seconds(registrationEnd - registrationStart) : m_options.boundSeconds);
    Settle();
}
