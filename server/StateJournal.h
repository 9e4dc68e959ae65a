// The state file kept as a journal: every change (a registered name, a new hash, a message held or
// released) is appended as one line, and the lines queued while the disk was busy with the last
// group share one sync. The writing happens on a thread of its own, so the event loop never waits
// for the disk; a registration is told through its `durable` callback, on the event loop, once it
// is on disk. When most of the file is history, it is rewritten as a snapshot of what is live.
// A failed write (a full disk) is logged once and tried again every second until it succeeds;
// a clean stop writes everything still queued.
#pragma once

#include "HeldMessageLog.h"
#include "LogSink.h"
#include "StateFileLock.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace qornc::server {

struct JournalOptions {
    // Names the accounts file gives: that file has the last word, so their records go.
    std::function<bool(std::string_view name)> isPreset{};
    // A smaller file is not worth rewriting, however much of it is history.
    std::size_t compactFromBytes = 1 << 20;
    std::chrono::milliseconds retryEvery{1000};
};

class StateJournal final : public HeldMessageLog {
public:
    using Post = std::function<void(std::function<void()>)>; // runs a task on the event loop

    using Options = JournalOptions;

    StateJournal() = default;
    StateJournal(const StateJournal&) = delete;
    StateJournal& operator=(const StateJournal&) = delete;
    // Writes what is still queued, once more if the last try failed.
    ~StateJournal() override;

    // Takes the lock, reads the file and writes it back as a snapshot, so that a file the server
    // cannot write fails now rather than at the first registration. An empty `path` keeps
    // nothing: every change is durable at once. Returns why it cannot be used, or nothing.
    [[nodiscard]] std::string open(const std::string& path, LogSink log, Post post, Options options = {});

    // `durable` runs on the event loop once the account is on disk.
    void appendAccount(std::string_view name, std::string_view hash, std::function<void()> durable);
    void held(const HeldMessage& message) override;
    void released(std::uint64_t id) override;

    // What open found: the accounts by name, the held messages in the order they came.
    const std::vector<std::pair<std::string, std::string>>& accounts() const { return accounts_; }
    const std::vector<HeldMessage>& heldMessages() const { return heldMessages_; }
    std::uint64_t nextHeldId() const { return nextHeldId_; }
    // The server has taken what open found; its memory can go.
    void dropRecovered();

private:
    struct Record {
        enum class Kind { Account, Held, Released };
        Kind kind;
        std::uint64_t id;
        std::string bytes;
        std::function<void()> durable;
    };

    void enqueue(Record record);
    void run();
    bool commit(const std::vector<Record>& batch);
    bool appendSynced(const std::string& bytes, std::string& error);
    void account(const std::vector<Record>& batch);
    bool dueForCompaction() const;
    void compact();
    void say(const std::string& line);

    std::string path_;
    LogSink log_;
    Post post_;
    Options options_;
    StateFileLock lock_;
    std::vector<std::pair<std::string, std::string>> accounts_;
    std::vector<HeldMessage> heldMessages_;
    std::uint64_t nextHeldId_ = 1;

    // Shared with the writer thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Record> queue_;
    bool stopping_ = false;

    // The writer thread's own once it runs.
    std::string target_; // the file the path leads to
    int fd_ = -1;
    std::size_t fileBytes_ = 0; // all of them lines the server confirmed
    std::size_t liveBytes_ = 0; // of those, the ones a snapshot would keep, about
    std::map<std::uint64_t, std::size_t> heldBytes_;
    bool failing_ = false;
    std::chrono::steady_clock::time_point noCompactionBefore_{};

    std::thread writer_; // last: it starts once everything above is there
};

} // namespace qornc::server
