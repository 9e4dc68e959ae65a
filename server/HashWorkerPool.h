// A few threads of their own for slow password work, so that the event loop keeps serving
// logged-in users while hashes are made and checked. At most `maxQueued` jobs wait: a job that
// ranks better than the worst waiting one takes its place, any other is dropped at once.
#pragma once

#include "LoginBackoff.h"

#include <QObject>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace qornc::server {

class HashWorkerPool : public QObject {
    Q_OBJECT

public:
    using Job = std::function<void()>;          // runs on a worker thread
    using Done = std::function<void(bool ran)>; // then on the pool's own thread; false when dropped unrun

    HashWorkerPool(std::size_t threads, std::size_t maxQueued, QObject* parent = nullptr);
    // Waits for the running jobs; the waiting ones are dropped without their Done.
    ~HashWorkerPool() override;

    // Done always runs later, never inside this call.
    void submit(CheckRank rank, Job job, Done done);

private:
    struct Waiting {
        Job job;
        Done done;
    };
    using Key = std::pair<CheckRank, std::uint64_t>; // rank, then arrival

    void work();
    void report(Done done, bool ran);

    std::size_t maxQueued_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::map<Key, Waiting> waiting_;
    std::uint64_t arrivals_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace qornc::server
