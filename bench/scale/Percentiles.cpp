#include "Percentiles.h"

#include <algorithm>
#include <cmath>

double Percentile(std::vector<double> samples, double percent)
{
    if (samples.empty())
        return 0;
    const double rank = std::ceil(percent / 100.0 * double(samples.size()));
    const std::size_t index = rank < 1 ? 0 : std::min(samples.size(), std::size_t(rank)) - 1;
    std::nth_element(samples.begin(), samples.begin() + std::ptrdiff_t(index), samples.end());
    return samples[index];
}

LatencySummary Summarize(const std::vector<double>& samples)
{
    LatencySummary summary;
    summary.samples = samples.size();
    if (samples.empty())
        return summary;
    summary.p50 = Percentile(samples, 50);
    summary.p99 = Percentile(samples, 99);
    summary.max = *std::max_element(samples.begin(), samples.end());
    return summary;
}
