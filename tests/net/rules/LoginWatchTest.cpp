#include "net/rules/LoginWatch.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A link that ends long after its login, or after the server said anything, was not refused.
TEST(LoginWatch, OnlyAnUnansweredEndSoonAfterTheLoginLooksRefused)
{
    struct Row {
        bool answered;
        std::chrono::milliseconds endedAfter;
        bool refused;
    };
    const auto login = LoginWatch::Clock::now();
    for (const Row row : {Row{false, 100ms, true}, Row{true, 100ms, false}, Row{false, LoginWatch::kWindow + 1ms, false}}) {
        LoginWatch watch;
        watch.Answered(); // before the login: it does not count
        watch.LoggedIn(login);
        if (row.answered)
            watch.Answered();
        EXPECT_EQ(watch.EndedUnanswered(login + row.endedAfter), row.refused) << row.endedAfter.count();
    }
}

}  // namespace
