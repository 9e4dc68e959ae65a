// A loopback port that answers no SYN: a listening socket whose accept queue is kept full and
// never drained, so a further connect neither succeeds nor is refused. It stands in for an
// unreachable server without any traffic leaving the machine.
#pragma once

#include <cstdint>
#include <vector>

class FullBacklogPort {
public:
    FullBacklogPort();
    ~FullBacklogPort();
    FullBacklogPort(const FullBacklogPort&) = delete;
    FullBacklogPort& operator=(const FullBacklogPort&) = delete;

    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // False when the queue could not be seen to fill (the test then cannot hold).
    [[nodiscard]] bool full() const { return m_full; }

private:
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::vector<int> m_fillers;
    bool m_full = false;
};
