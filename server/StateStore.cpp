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
    , retryTimer_(new QTimer(this))
{
    retryTimer_->setInterval(kRetryMs);
    connect(retryTimer_, &QTimer::timeout, this, &StateStore::retry);
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
        retryTimer_->start();
        return false;
    }
    if (failing_)
        log_("state file " + path_ + " saved again");
    failing_ = false;
    retryTimer_->stop();
    return true;
}

void StateStore::retry()
{
    if (save())
        emit saved();
}

} // namespace qornc::server
