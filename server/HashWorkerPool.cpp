#include "HashWorkerPool.h"

#include <optional>

namespace qornc::server {

HashWorkerPool::HashWorkerPool(std::size_t threads, std::size_t maxQueued, QObject* parent)
    : QObject(parent)
    , maxQueued_(maxQueued)
{
    for (std::size_t i = 0; i < threads; ++i)
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

void HashWorkerPool::submit(CheckRank rank, Job job, Done done)
{
    std::optional<Done> dropped;
    {
        const std::lock_guard lock(mutex_);
        const Key key{rank, arrivals_++};
        const bool full = waiting_.size() >= maxQueued_;
        if (full && (waiting_.empty() || waiting_.rbegin()->first < key)) {
            dropped = std::move(done);
        } else {
            if (full) {
                dropped = std::move(waiting_.rbegin()->second.done);
                waiting_.erase(std::prev(waiting_.end()));
            }
            waiting_.emplace(key, Waiting{std::move(job), std::move(done)});
        }
    }
    wake_.notify_one();
    if (dropped)
        report(std::move(*dropped), false);
}

void HashWorkerPool::work()
{
    for (;;) {
        Waiting next;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_)
                return;
            next = std::move(waiting_.begin()->second);
            waiting_.erase(waiting_.begin());
        }
        next.job();
        report(std::move(next.done), true);
    }
}

void HashWorkerPool::report(Done done, bool ran)
{
    // Queued to this object's thread, the event loop's, whichever thread reports.
    QMetaObject::invokeMethod(this, [done = std::move(done), ran] { done(ran); }, Qt::QueuedConnection);
}

} // namespace qornc::server
