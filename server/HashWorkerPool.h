// Threads of their own for slow password work, one per core, so that the event loop keeps serving
// logged-in users while hashes are made and checked. Waiting jobs are served host by host in
// turn, those of hosts that logged in as the name before first, so that a host sending many
// cannot starve the others: an honest login waits for its turn instead of being refused. At most
// `maxQueued` jobs wait; beyond that the host with the most waiting loses its newest.
#pragma once

#include "LoginBackoff.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qornc::server {

class HashWorkerPool {
public:
    // The workers' nice value, below the event loop's.
    static constexpr int kWorkerNice = 10;
    using Job = std::function<void()>;          // runs on a worker thread
    using Done = std::function<void(bool ran)>; // then through Post; false when dropped unrun
    // Runs a task on the thread that submits: the event loop's.
    using Post = std::function<void(std::function<void()>)>;

    HashWorkerPool(std::size_t threads, std::size_t maxQueued, Post post);
    // Waits for the running jobs; the waiting ones are dropped without their Done.
    ~HashWorkerPool();
    HashWorkerPool(const HashWorkerPool&) = delete;
    HashWorkerPool& operator=(const HashWorkerPool&) = delete;

    // Done always runs later, never inside this call.
    void submit(const std::string& host, CheckRank rank, Job job, Done done);

    std::size_t threadCount() const { return threads_.size(); }

private:
    struct Waiting {
        Job job;
        Done done;
    };
    using Line = std::pair<unsigned, std::string>; // tier, host

    void work();
    bool takeNext(Waiting& next);
    std::map<Line, std::deque<Waiting>>::iterator longestLine();

    std::size_t maxQueued_;
    Post post_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<Line, std::deque<Waiting>> lines_;
    std::map<unsigned, std::deque<std::string>> turns_; // by tier: hosts with waiting jobs, next first
    std::size_t waiting_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace qornc::server
