#include "Percentiles.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<double> OneTo(int n)
{
    std::vector<double> samples;
    for (int i = n; i >= 1; --i)  // descending: the input need not be sorted
        samples.push_back(i);
    return samples;
}

TEST(Percentiles, TakesTheNearestRank)
{
    struct Row {
        const char* name;
        std::vector<double> samples;
        double percent;
        double expected;
    };
    const Row rows[] = {
        {"median of 1..100", OneTo(100), 50, 50},
        {"p99 of 1..100", OneTo(100), 99, 99},
        {"p99 of 1..1000", OneTo(1000), 99, 990},
        {"p99 of 1..10 is the top", OneTo(10), 99, 10},
        {"median of two is the lower", {7, 3}, 50, 3},
        {"one sample", {4.5}, 99, 4.5},
        {"p0 is the least", OneTo(5), 0, 1},
        {"p100 is the most", OneTo(5), 100, 5},
        {"one outlier in a hundred does not reach p99", [] { auto s = std::vector<double>(99, 1.0); s.push_back(500); return s; }(), 99, 1},
        {"two outliers in a hundred do", [] { auto s = std::vector<double>(98, 1.0); s.push_back(500); s.push_back(600); return s; }(), 99, 500},
        {"none", {}, 99, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(Percentile(row.samples, row.percent), row.expected);
    }
}

TEST(Percentiles, SummaryCountsAndKeepsTheMaximum)
{
    const LatencySummary summary = Summarize({0.5, 9.0, 1.0, 2.0});
    EXPECT_EQ(summary.samples, 4u);
    EXPECT_DOUBLE_EQ(summary.p50, 1.0);
    EXPECT_DOUBLE_EQ(summary.p99, 9.0);
    EXPECT_DOUBLE_EQ(summary.max, 9.0);
}

}  // namespace
