#include "LogThrottle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qornc::server;
using namespace std::chrono_literals;

TEST(LogThrottle, SummarisesWhatItHoldsBackPerKind)
{
    std::chrono::steady_clock::time_point now{};
    std::vector<std::string> out;
    {
        LogThrottle throttle([&](const std::string& line) { out.push_back(line); }, 2, 60s, [&] { return now; });
        for (int i = 0; i < 5; ++i)
            throttle.line("ignored: junk " + std::to_string(i));
        throttle.line("login alice from 127.0.0.2");
        now += 60s;
        throttle.flushDue();
        for (int i = 5; i < 9; ++i)
            throttle.line("ignored: junk " + std::to_string(i));
    }
    EXPECT_EQ(out, (std::vector<std::string>{"ignored: junk 0", "ignored: junk 1", "login alice from 127.0.0.2",
                                             "... 3 similar lines suppressed (ignored:)", "ignored: junk 5",
                                             "ignored: junk 6", "... 2 similar lines suppressed (ignored:)"}));
}
