#include "HashWorkerPool.h"

#include <optional>

#include <sys/resource.h>
#include <unistd.h>

namespace qornc::server {

HashWorkerPool::HashWorkerPool(std::size_t threads, std::size_t maxQueued, Post post)
    : maxQueued_(std::max<std::size_t>(maxQueued, 1))
    , post_(std::move(post))
{
    for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i)
        threads_.emplace_back([this] { work(); });
}

HashWorkerPool::~HashWorkerPool()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void HashWorkerPool::submit(const std::string& host, CheckRank rank, Job job, Done done)
{
    std::optional<Done> dropped;
    bool newcomerDropped = false;
    {
        const std::lock_guard lock(mutex_);
        const Line line{rank.tier, host};
        if (waiting_ >= maxQueued_) {
            const auto longest = longestLine();
            const auto own = lines_.find(line);
            const std::size_t ownSize = own == lines_.end() ? 0 : own->second.size();
            // The newcomer goes when its own line would be the one to shorten.
            if (std::pair(line.first, ownSize + 1) >= std::pair(longest->first.first, longest->second.size())) {
                dropped = std::move(done);
                newcomerDropped = true;
            } else {
                dropped = std::move(longest->second.back().done);
                longest->second.pop_back();
                --waiting_;
                if (longest->second.empty()) {
                    std::erase(turns_[longest->first.first], longest->first.second);
                    lines_.erase(longest);
                }
            }
        }
        if (!newcomerDropped) {
            auto& queue = lines_[line];
            if (queue.empty())
                turns_[line.first].push_back(host);
            queue.push_back({std::move(job), std::move(done)});
            ++waiting_;
        }
    }
    wake_.notify_one();
    if (dropped)
        post_([done = std::move(*dropped)] { done(false); });
}

std::map<HashWorkerPool::Line, std::deque<HashWorkerPool::Waiting>>::iterator HashWorkerPool::longestLine()
{
    auto longest = lines_.begin();
    for (auto it = lines_.begin(); it != lines_.end(); ++it) {
        if (std::pair(it->first.first, it->second.size()) > std::pair(longest->first.first, longest->second.size()))
            longest = it;
    }
    return longest;
}

bool HashWorkerPool::takeNext(Waiting& next)
{
    for (auto& [tier, hosts] : turns_) {
        if (hosts.empty())
            continue;
        const std::string host = std::move(hosts.front());
        hosts.pop_front();
        const auto line = lines_.find(Line{tier, host});
        next = std::move(line->second.front());
        line->second.pop_front();
        --waiting_;
        if (line->second.empty())
            lines_.erase(line);
        else
            hosts.push_back(host);
        return true;
    }
    return false;
}

void HashWorkerPool::work()
{
    // A hash takes a core for tens of milliseconds. On a machine with few cores the event loop
    // must still win a core the moment a message arrives, or every delivery waits behind the
    // hashes of a burst of new names: a whole scheduler tick, 4 ms at p99 on two cores with 30
    // names registering, against 0.3 ms when the workers run at a lower priority than the loop.
    // Not the lowest, nor the idle class, which let a busy neighbour hold honest logins past
    // their deadline. Lowering one's own
    // priority is always allowed, so its result needs no handling.
    static_cast<void>(::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kWorkerNice));
    for (;;) {
        Waiting next;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || waiting_ > 0; });
            if (stopping_ || !takeNext(next))
                return;
        }
        next.job();
        post_([done = std::move(next.done)] { done(true); });
    }
}

} // namespace qornc::server
