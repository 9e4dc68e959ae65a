#include "StateStore.h"

#include "StateFile.h"

#include <chrono>
#include <utility>

namespace qornc::server {

namespace {

constexpr auto kRetry = std::chrono::seconds(1);

} // namespace

StateStore::StateStore(asio::io_context& io, std::string path, const AccountBook& book, LogSink log,
                       std::function<void()> saved)
    : path_(std::move(path))
    , book_(book)
    , log_(std::move(log))
    , saved_(std::move(saved))
    , timer_(io)
{
}

void StateStore::saveSoon()
{
    if (scheduled_)
        return;
    scheduled_ = true;
    timer_.expires_after(std::chrono::seconds(0));
    timer_.async_wait([this](const std::error_code& error) {
        if (!error)
            attempt();
    });
}

bool StateStore::save()
{
    if (path_.empty())
        return true;
    std::string error;
    if (!saveStateFile(path_, book_, error)) {
        if (!failing_)
            log_("warning: " + error + "; trying again every second");
        failing_ = true;
        return false;
    }
    if (failing_)
        log_("state file " + path_ + " saved again");
    failing_ = false;
    return true;
}

void StateStore::attempt()
{
    if (save()) {
        scheduled_ = false;
        saved_();
        return;
    }
    timer_.expires_after(kRetry);
    timer_.async_wait([this](const std::error_code& error) {
        if (!error)
            attempt();
    });
}

} // namespace qornc::server
