// Latency figures: the nearest-rank percentile, the smallest sample that at least p percent of
// all samples do not exceed.
#pragma once

#include <vector>

struct LatencySummary {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    std::size_t samples = 0;
};

// samples need not be sorted; 0 when there are none.
[[nodiscard]] double Percentile(std::vector<double> samples, double percent);
[[nodiscard]] LatencySummary Summarize(const std::vector<double>& samples);
