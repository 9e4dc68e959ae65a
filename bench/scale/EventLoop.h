// One epoll set and the handler of each descriptor in it: the loop both the load generator and
// the bare relay run on, so that neither pays more per event as connections pile up.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <unordered_map>

#include "UniqueFd.h"

using BenchClock = std::chrono::steady_clock;

class EventLoop {
public:
    using Handler = std::function<void(std::uint32_t events)>;

    EventLoop();
    // fd must stay open until Forget(fd).
    void Watch(int fd, std::uint32_t events, Handler handler);
    void Change(int fd, std::uint32_t events);
    void Forget(int fd);
    [[nodiscard]] std::size_t watched() const { return m_handlers.size(); }

    // Dispatches events until done() holds or the deadline passes; tick() runs after every pass,
    // and a pass waits at most pollMs for events. Returns done().
    bool RunUntil(const std::function<bool()>& done, BenchClock::time_point deadline,
                  const std::function<void()>& tick = {}, int pollMs = 1);

private:
    UniqueFd m_epoll;
    std::unordered_map<int, Handler> m_handlers;
};
