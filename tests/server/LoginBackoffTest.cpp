#include "LoginBackoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;
using namespace std::chrono_literals;
using Verdict = LoginBackoff::Verdict;

namespace {

// A step: "wait N" lets N seconds pass; "fail" and "hold" are the results of a check the row
// before admitted; otherwise `host` asks to check a password of `name` and gets `verdict`.
struct Step {
    std::string host;
    std::string name;
    Verdict verdict = Verdict::Check;
    int seconds = 0;
};

Step ask(std::string host, std::string name, Verdict verdict = Verdict::Check)
{
    return {std::move(host), std::move(name), verdict};
}
Step fail(std::string host, std::string name) { return {std::move(host), std::move(name) + " fail"}; }
Step hold(std::string host, std::string name) { return {std::move(host), std::move(name) + " hold"}; }
Step wait(int seconds) { return {"", "", Verdict::Check, seconds}; }

std::vector<Step> failing(const std::string& host, const std::string& name, int times)
{
    std::vector<Step> steps;
    for (int i = 0; i < times; ++i)
        steps.insert(steps.end(), {ask(host, name), fail(host, name)});
    return steps;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Step> repeated(const Step& step, int times)
{
    return std::vector<Step>(static_cast<std::size_t>(times), step);
}

const std::vector<std::pair<const char*, std::vector<Step>>> kRows = {
    {"three failures are free, then the host waits, longer for every try while it waits",
     failing("G", "alice", 4)
         + std::vector{ask("G", "carol", Verdict::HostWaits), wait(1), ask("G", "alice", Verdict::HostWaits), wait(4),
                       ask("G", "alice"), fail("G", "alice"), wait(7), ask("G", "alice", Verdict::HostWaits)}},
    {"the wait stops growing at its ceiling",
     failing("G", "alice", 4) + repeated(ask("G", "alice", Verdict::HostWaits), 20)
         + std::vector{wait(899), ask("G", "alice", Verdict::HostWaits), wait(901), ask("G", "alice")}},
    {"a name failed from many hosts makes them wait, but not its owner's host nor a clean one",
     std::vector{ask("O", "alice"), hold("O", "alice")} + failing("O", "alice", 3) + failing("A", "alice", 3)
         + std::vector{ask("A", "alice", Verdict::NameWaits), ask("O", "alice"), hold("O", "alice"), ask("F", "alice"),
                       hold("F", "alice"), ask("A", "bob", Verdict::HostWaits)}},
    {"past its free failures a name takes one untrusted check at a time",
     failing("A", "alice", 3) + failing("B", "alice", 3)
         + std::vector{wait(5), ask("A", "alice"), ask("B", "alice", Verdict::NameWaits)}},
    {"a host has one check at a time under way once more could outrun its free failures",
     std::vector{ask("N", "a"), ask("N", "b"), ask("N", "c"), ask("N", "d", Verdict::HostBusy), fail("N", "a"),
                 ask("N", "d", Verdict::HostBusy), hold("N", "b"), ask("N", "d")}},
    {"failures are forgotten an hour after the last one",
     failing("G", "alice", 4)
         + std::vector{wait(3599), ask("G", "alice"), fail("G", "alice"), wait(3601), ask("G", "alice"),
                       fail("G", "alice"), ask("G", "alice")}},
};

} // namespace

TEST(LoginBackoff, BoundsGuessesPerHostAndPerNameButNotTheOwner)
{
    for (const auto& [row, steps] : kRows) {
        std::chrono::steady_clock::time_point now{};
        LoginBackoff backoff({}, [&] { return now; });
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            const auto space = step.name.find(' ');
            if (step.host.empty())
                now += std::chrono::seconds(step.seconds);
            else if (space != std::string::npos)
                backoff.checked(step.host, step.name.substr(0, space), step.name.ends_with("hold"));
            else
                EXPECT_EQ(backoff.admit(step.host, step.name), step.verdict) << row << ", step " << i + 1;
        }
    }
    // The owner's checks go first, then those of hosts with fewer failures.
    LoginBackoff backoff;
    backoff.checked("O", "alice", backoff.admit("O", "alice") == Verdict::Check);
    const CheckRank clean = backoff.rank("F", "alice");
    EXPECT_LT(backoff.rank("O", "alice"), clean);
    backoff.checked("F", "alice", backoff.admit("F", "alice") != Verdict::Check);
    EXPECT_LT(clean, backoff.rank("F", "alice"));
}
