// Notifications per second through the framer and the parser, as a delivery connection feeds
// them: whole texts, and texts split across reads.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/NotificationFramer.h"
#include "common/NotificationParser.h"

namespace {

std::string Stream(const std::vector<std::string>& texts, int copies)
{
    std::string stream;
    for (int i = 0; i < copies; ++i) {
        for (const std::string& text : texts) {
            stream += text;
            stream += '\0';
        }
    }
    return stream;
}

const std::vector<std::string> kMix = {
    "message alice hello there, how are you today?",
    "getbuddy true bob",
    "getbuddy false carol",
    "message dave " + std::string(200, 'x'),
};

void FrameAndParse(benchmark::State& state)
{
    const int copies = 256;
    const std::string stream = Stream(kMix, copies);
    const auto chunk = static_cast<std::size_t>(state.range(0));
    std::int64_t notifications = 0;
    for (auto _ : state) {
        NotificationFramer framer;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            for (const std::string& text : framer.Feed(std::string_view(stream).substr(at, chunk))) {
                benchmark::DoNotOptimize(ParseNotification(text));
                ++notifications;
            }
        }
    }
    state.SetItemsProcessed(notifications);
}

void ParseOnly(benchmark::State& state)
{
    std::int64_t parsed = 0;
    for (auto _ : state) {
        for (const std::string& text : kMix)
            benchmark::DoNotOptimize(ParseNotification(text));
        parsed += std::int64_t(kMix.size());
    }
    state.SetItemsProcessed(parsed);
}

}  // namespace

// One notification per read (as each arrives on its own connection), and a 7-byte split.
BENCHMARK(FrameAndParse)->Arg(256)->Arg(7);
BENCHMARK(ParseOnly);
BENCHMARK_MAIN();
