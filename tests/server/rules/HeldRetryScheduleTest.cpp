#include "HeldRetrySchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;
using namespace std::chrono_literals;

namespace {

struct Step {
    std::chrono::milliseconds at; // since the start
    char op;                      // 'm' missed, 'h' heard, 't' takeDue
    std::string name;
    std::string expected; // for 't': the names due, joined by ','
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    std::chrono::milliseconds next; // when the earliest try falls after the last step; -1: none
};

// Pauses of 1 s doubling up to 4 s. The first pause, a request waking only its own user and the
// restart after a success show through the router's held-message test; these are what it does not.
const std::vector<Case> kCases = {
    {"each further miss waits twice as long, up to the bound",
     {{0ms, 'm', "bob", ""}, {1s, 't', "", "bob"}, {1s, 'm', "bob", ""}, {2999ms, 't', "", ""},
      {3s, 't', "", "bob"}, {3s, 'm', "bob", ""}, {7s, 't', "", "bob"}, {7s, 'm', "bob", ""}},
     11s},
    {"a second miss while a try is due does not put it off",
     {{0ms, 'm', "bob", ""}, {500ms, 'm', "bob", ""}},
     1s},
    {"a request while a try is under way changes nothing",
     {{0ms, 'm', "bob", ""}, {1s, 't', "", "bob"}, {1s, 'h', "bob", ""}, {1s, 't', "", ""}},
     -1ms},
};

} // namespace

TEST(HeldRetrySchedule, PausesGrowToABoundAndARequestCutsThemShort)
{
    const HeldRetrySchedule::TimePoint start{};
    for (const Case& c : kCases) {
        HeldRetrySchedule schedule({.first = 1s, .max = 4s});
        for (const Step& step : c.steps) {
            const auto now = start + step.at;
            if (step.op == 'm') {
                schedule.missed(step.name, now);
            } else if (step.op == 'h') {
                schedule.heard(step.name, now);
            } else {
                std::string due;
                for (const std::string& name : schedule.takeDue(now))
                    due += (due.empty() ? "" : ",") + name;
                EXPECT_EQ(due, step.expected) << c.name << ", at " << step.at.count() << " ms";
            }
        }
        const auto next = schedule.next();
        if (c.next < 0ms)
            EXPECT_FALSE(next.has_value()) << c.name;
        else
            EXPECT_EQ(next, start + c.next) << c.name;
    }
}
