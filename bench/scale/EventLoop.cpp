#include "EventLoop.h"

#include <sys/epoll.h>

#include <algorithm>
#include <array>

EventLoop::EventLoop() : m_epoll(::epoll_create1(EPOLL_CLOEXEC)) {}

void EventLoop::Watch(int fd, std::uint32_t events, Handler handler)
{
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_ADD, fd, &event);
    m_handlers[fd] = std::move(handler);
}

void EventLoop::Change(int fd, std::uint32_t events)
{
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_MOD, fd, &event);
}

void EventLoop::Forget(int fd)
{
    ::epoll_ctl(m_epoll.get(), EPOLL_CTL_DEL, fd, nullptr);
    m_handlers.erase(fd);
}

bool EventLoop::RunUntil(const std::function<bool()>& done, BenchClock::time_point deadline,
                         const std::function<void()>& tick, int pollMs)
{
    std::array<epoll_event, 256> events{};
    while (!done()) {
        const auto now = BenchClock::now();
        if (now >= deadline)
            return false;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        const int wait = static_cast<int>(std::min<long long>(left, pollMs));
        const int ready = ::epoll_wait(m_epoll.get(), events.data(), static_cast<int>(events.size()), wait);
        for (int i = 0; i < ready; ++i) {
            // A handler may have forgotten a later descriptor of the same pass.
            const auto found = m_handlers.find(events[static_cast<std::size_t>(i)].data.fd);
            if (found != m_handlers.end()) {
                const Handler handler = found->second; // the handler may forget its own fd
                handler(events[static_cast<std::size_t>(i)].events);
            }
        }
        if (tick)
            tick();
    }
    return true;
}
