// A slow, lossy wire between two network namespaces, for checks that need a poor link on a kernel
// without netem: one TUN device in each namespace, every IP packet read from one written to the
// other after a fixed delay, a given share of them dropped at random, both ways alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

namespace qornc::test {

class LossyLink {
public:
    struct Counts {
        std::uint64_t passed = 0;
        std::uint64_t dropped = 0;
    };

    // Opens a TUN device named `device` in each of the namespaces at the two paths (as under
    // /run/netns); empty `error` when both are there.
    LossyLink(const std::string& namespaceA, const std::string& namespaceB, const std::string& device,
              std::chrono::milliseconds delay, double loss, std::uint32_t seed, std::string& error);
    ~LossyLink();
    LossyLink(const LossyLink&) = delete;
    LossyLink& operator=(const LossyLink&) = delete;

    // Forwards until `control` (a descriptor read line by line) ends. A line "loss SHARE" changes
    // the share dropped from then on; "counts" prints both directions' counts on standard output.
    void run(int control);
    std::string countsText() const;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct Packet {
        TimePoint due;
        std::vector<char> bytes;
    };
    struct Direction {
        int from = -1;
        int to = -1;
        std::deque<Packet> inFlight{};
        Counts counts{};
    };

    static int openTun(const std::string& namespacePath, const std::string& device, std::string& error);
    void take(Direction& direction);
    void deliverDue(Direction& direction, TimePoint now);
    bool obey(const std::string& line);
    int waitMs(TimePoint now) const;

    int tunA_ = -1;
    int tunB_ = -1;
    Direction aToB_;
    Direction bToA_;
    std::chrono::milliseconds delay_;
    std::bernoulli_distribution drop_;
    std::mt19937 random_;
};

} // namespace qornc::test
