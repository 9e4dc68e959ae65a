// Stands in for the event loop of the server's worker threads: what they post waits here until
// the test runs it, on the test's own thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace qornc::server::test {

class PostedTasks {
public:
    std::function<void(std::function<void()>)> post()
    {
        return [this](std::function<void()> task) {
            const std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            added_.notify_all();
        };
    }

    // Runs posted tasks, oldest first, until `done` holds or none comes for ten seconds.
    bool runUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                if (!added_.wait_for(lock, std::chrono::seconds(10), [this] { return !tasks_.empty(); }))
                    return false;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
            ++ran_;
        }
        return true;
    }
    std::size_t ran() const { return ran_; }

private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<std::function<void()>> tasks_;
    std::size_t ran_ = 0;
};

} // namespace qornc::server::test
