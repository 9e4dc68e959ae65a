// Keeps the state file in step with the account book: a save that fails (a full disk, say) is
// logged once and tried again every second until one succeeds.
#pragma once

#include "LogSink.h"

#include <QObject>

#include <string>

class QTimer;

namespace qornc::server {

class AccountBook;

class StateStore : public QObject {
    Q_OBJECT

public:
    // An empty `path` keeps nothing: every save succeeds at once.
    StateStore(std::string path, const AccountBook& book, LogSink log, QObject* parent = nullptr);

    // Saves once the event loop is back, so that registrations finishing together share one
    // write; `saved` follows once the book is on disk.
    void saveSoon();
    // At once; true when the book is on disk.
    bool save();

signals:
    void saved();

private:
    void attempt();

    std::string path_;
    const AccountBook& book_;
    LogSink log_;
    QTimer* timer_; // the next attempt: soon, or a second after a failure
    bool failing_ = false;
};

} // namespace qornc::server
