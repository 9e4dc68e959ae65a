#include "StateStore.h"

#include "StateFile.h"

#include <QTimer>

#include <utility>

namespace qornc::server {

namespace {

constexpr int kRetryMs = 1000;

} // namespace

StateStore::StateStore(std::string path, const AccountBook& book, LogSink log, QObject* parent)
    : QObject(parent)
    , path_(std::move(path))
    , book_(book)
    , log_(std::move(log))
    , timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &StateStore::attempt);
}

void StateStore::saveSoon()
{
    if (!timer_->isActive())
        timer_->start(0);
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
    if (save())
        emit saved();
    else
        timer_->start(kRetryMs);
}

} // namespace qornc::server
