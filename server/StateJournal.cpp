#include "StateJournal.h"

#include "StateFile.h"
#include "StateRecords.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace qornc::server {

namespace {

// After a failed compaction: the appends go on meanwhile, so there is no hurry.
constexpr std::chrono::minutes kCompactionRetry{1};

} // namespace

StateJournal::~StateJournal()
{
    if (writer_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        writer_.join();
    }
    if (fd_ >= 0)
        ::close(fd_);
}

std::string StateJournal::open(const std::string& path, LogSink log, Post post, Options options)
{
    path_ = path;
    log_ = std::move(log);
    post_ = std::move(post);
    options_ = std::move(options);
    if (path_.empty())
        return {};
    std::string error;
    std::string content;
    if (!lock_.acquire(path_, error) || !readStateFile(path_, content, error))
        return error;
    JournalState state;
    const Replay replay = replayRecords(content, state);
    if (!replay.ok)
        return path_ + ": " + replay.error;
    if (replay.tornTail)
        log_("warning: state file " + path_ + ": left out its last line, cut short without a line end by a crash");
    if (options_.isPreset)
        std::erase_if(state.accounts, [this](const auto& entry) { return options_.isPreset(entry.first); });
    const std::string snapshot = formatSnapshot(state);
    if (!replaceStateFile(path_, snapshot, error))
        return error;

    target_ = followLinks(path_);
    fileBytes_ = liveBytes_ = snapshot.size();
    accounts_.assign(state.accounts.begin(), state.accounts.end());
    for (auto& [id, message] : state.held) {
        heldBytes_[id] = heldRecord(message).size();
        nextHeldId_ = id + 1;
        heldMessages_.push_back(std::move(message));
    }
    writer_ = std::thread(&StateJournal::run, this);
    return {};
}

void StateJournal::dropRecovered()
{
    accounts_ = {};
    heldMessages_ = {};
}

void StateJournal::appendAccount(std::string_view name, std::string_view hash, std::function<void()> durable)
{
    enqueue({Record::Kind::Account, 0, accountRecord(name, hash), std::move(durable)});
}

void StateJournal::held(const HeldMessage& message)
{
    enqueue({Record::Kind::Held, message.id, heldRecord(message), {}});
}

void StateJournal::released(std::uint64_t id)
{
    enqueue({Record::Kind::Released, id, releasedRecord(id), {}});
}

void StateJournal::enqueue(Record record)
{
    if (!writer_.joinable()) {
        // Nothing to keep: it is as durable as it will ever be.
        if (record.durable)
            post_(std::move(record.durable));
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(record));
    }
    wake_.notify_one();
}

void StateJournal::run()
{
    for (;;) {
        std::vector<Record> batch;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            batch.swap(queue_);
        }
        if (!commit(batch))
            return;
        account(batch);
        std::vector<std::function<void()>> durable;
        for (Record& record : batch)
            if (record.durable)
                durable.push_back(std::move(record.durable));
        if (!durable.empty())
            post_([durable = std::move(durable)] {
                for (const auto& callback : durable)
                    callback();
            });
        if (dueForCompaction())
            compact();
    }
}

bool StateJournal::commit(const std::vector<Record>& batch)
{
    std::string bytes;
    for (const Record& record : batch)
        bytes += record.bytes;
    for (;;) {
        bool lastTry = false;
        {
            const std::lock_guard lock(mutex_);
            lastTry = stopping_;
        }
        std::string error;
        if (appendSynced(bytes, error)) {
            if (failing_)
                say("state file " + path_ + " saved again");
            failing_ = false;
            return true;
        }
        if (!failing_)
            say("warning: " + error + "; trying again every second");
        failing_ = true;
        if (lastTry) {
            std::size_t lost = batch.size();
            {
                const std::lock_guard lock(mutex_);
                lost += queue_.size();
            }
            say("warning: stopping with " + std::to_string(lost)
                + " change(s) that are not in the state file; they are lost");
            return false;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, options_.retryEvery, [this] { return stopping_; });
    }
}

bool StateJournal::appendSynced(const std::string& bytes, std::string& error)
{
    if (fd_ < 0)
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd_ >= 0;
    // At the end of what is confirmed, not O_APPEND: a try cut short is overwritten by the next.
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const ssize_t written = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                         static_cast<off_t>(fileBytes_ + done));
        ok = written > 0 || (written < 0 && errno == EINTR);
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    ok = ok && ::fdatasync(fd_) == 0;
    if (ok) {
        fileBytes_ += bytes.size();
        return true;
    }
    error = "cannot write state file " + path_ + ": " + std::strerror(errno);
    // Leaves no half line behind for a crash to find in the middle of the file later.
    if (fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(fileBytes_)) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return false;
}

void StateJournal::account(const std::vector<Record>& batch)
{
    for (const Record& record : batch) {
        if (record.kind == Record::Kind::Released) {
            const auto found = heldBytes_.find(record.id);
            if (found != heldBytes_.end()) {
                liveBytes_ -= std::min(liveBytes_, found->second);
                heldBytes_.erase(found);
            }
            continue;
        }
        // A new hash for a known name counts as live: it happens once per name at most.
        liveBytes_ += record.bytes.size();
        if (record.kind == Record::Kind::Held)
            heldBytes_[record.id] = record.bytes.size();
    }
}

bool StateJournal::dueForCompaction() const
{
    return fileBytes_ >= options_.compactFromBytes && fileBytes_ > 2 * liveBytes_
        && std::chrono::steady_clock::now() >= noCompactionBefore_;
}

void StateJournal::compact()
{
    // Only this thread writes the file, so what it reads is all there is.
    std::string content;
    std::string error;
    JournalState state;
    if (readStateFile(path_, content, error)) {
        const Replay replay = replayRecords(content, state);
        if (!replay.ok || replay.tornTail)
            error = "state file " + path_ + " no longer reads back: " + (replay.ok ? "a line cut short" : replay.error);
    }
    const std::string snapshot = error.empty() ? formatSnapshot(state) : std::string();
    if (!error.empty() || !replaceStateFile(path_, snapshot, error)) {
        say("warning: cannot compact state file " + path_ + ": " + error + "; appending meanwhile");
        noCompactionBefore_ = std::chrono::steady_clock::now() + kCompactionRetry;
        return;
    }
    // The old descriptor writes to the file that was replaced.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    fileBytes_ = liveBytes_ = snapshot.size();
    heldBytes_.clear();
    for (const auto& [id, message] : state.held)
        heldBytes_[id] = heldRecord(message).size();
}

void StateJournal::say(const std::string& line)
{
    bool stopping = false;
    {
        const std::lock_guard lock(mutex_);
        stopping = stopping_;
    }
    // While stopping, the event loop waits for this thread and will not run a posted task again.
    if (stopping)
        log_(line);
    else
        post_([log = log_, line] { log(line); });
}

} // namespace qornc::server
