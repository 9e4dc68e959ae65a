#include "LoginBackoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;
using Verdict = LoginBackoff::Verdict;

namespace {

// `host` asks to check a password of `name` and gets '?' (check), 'W' (the host waits), 'N' (the
// name waits) or 'B' (the host is busy); 'f' and 'h' report that check as failed or held; 'F' asks
// and fails; '+' lets seconds pass. `times` repeats the step.
struct Step {
    const char* host;
    const char* name;
    char op;
    int times = 1;
};

Verdict verdictOf(char op)
{
    return op == 'W' ? Verdict::HostWaits : op == 'N' ? Verdict::NameWaits : op == 'B' ? Verdict::HostBusy
                                                                                        : Verdict::Check;
}

const std::vector<std::pair<const char*, std::vector<Step>>> kRows = {
    {"three failures are free, then the host waits, longer for every try while it waits",
     {{"G", "alice", 'F', 4}, {"G", "carol", 'W'}, {"", "", '+', 1}, {"G", "alice", 'W'}, {"", "", '+', 4},
      {"G", "alice", '?'}, {"G", "alice", 'f'}, {"", "", '+', 7}, {"G", "alice", 'W'}}},
    {"the wait stops growing at its ceiling",
     {{"G", "alice", 'F', 4}, {"G", "alice", 'W', 20}, {"", "", '+', 899}, {"G", "alice", 'W'}, {"", "", '+', 901},
      {"G", "alice", '?'}}},
    {"a name failed from many hosts makes them wait, but not its owner's host nor a clean one",
     {{"O", "alice", '?'}, {"O", "alice", 'h'}, {"O", "alice", 'F', 3}, {"A", "alice", 'F', 3}, {"A", "alice", 'N'},
      {"O", "alice", '?'}, {"O", "alice", 'h'}, {"C", "alice", '?'}, {"C", "alice", 'h'}, {"A", "bob", 'W'}}},
    {"past its free failures a name takes one untrusted check at a time",
     {{"A", "alice", 'F', 3}, {"B", "alice", 'F', 3}, {"", "", '+', 5}, {"A", "alice", '?'}, {"B", "alice", 'N'}}},
    {"a host has one check at a time under way once more could outrun its free failures",
     {{"N", "a", '?'}, {"N", "b", '?'}, {"N", "c", '?'}, {"N", "d", 'B'}, {"N", "a", 'f'}, {"N", "d", 'B'},
      {"N", "b", 'h'}, {"N", "d", '?'}}},
    {"failures are forgotten an hour after the last one",
     {{"G", "alice", 'F', 4}, {"", "", '+', 3599}, {"G", "alice", 'F'}, {"", "", '+', 3601}, {"G", "alice", 'F'},
      {"G", "alice", '?'}}},
};

} // namespace

TEST(LoginBackoff, BoundsGuessesPerHostAndPerNameButNotTheOwner)
{
    for (const auto& [row, steps] : kRows) {
        std::chrono::steady_clock::time_point now{};
        LoginBackoff backoff({}, [&] { return now; });
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto& [host, name, op, times] = steps[i];
            for (int time = 0; time < times; ++time) {
                if (op == '+')
                    now += std::chrono::seconds(1);
                else if (op == 'f' || op == 'h')
                    backoff.checked(host, name, op == 'h');
                else
                    EXPECT_EQ(backoff.admit(host, name), verdictOf(op)) << row << ", step " << i + 1;
                if (op == 'F')
                    backoff.checked(host, name, false);
            }
        }
    }
}
