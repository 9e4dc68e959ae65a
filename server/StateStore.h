// Keeps the state file in step with the account book: a save that fails (a full disk, say) is
// logged once and tried again every second until one succeeds.
#pragma once

#include "LogSink.h"

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include <functional>
#include <string>

namespace qornc::server {

class AccountBook;

class StateStore {
public:
    // An empty `path` keeps nothing: every save succeeds at once. `saved` runs once the book is
    // on disk after saveSoon().
    StateStore(asio::io_context& io, std::string path, const AccountBook& book, LogSink log,
               std::function<void()> saved);

    // Saves once the event loop is back, so that registrations finishing together share one write.
    void saveSoon();
    // At once; true when the book is on disk.
    bool save();

private:
    void attempt();

    std::string path_;
    const AccountBook& book_;
    LogSink log_;
    std::function<void()> saved_;
    asio::steady_timer timer_; // the next attempt: soon, or a second after a failure
    bool scheduled_ = false;
    bool failing_ = false;
};

} // namespace qornc::server
