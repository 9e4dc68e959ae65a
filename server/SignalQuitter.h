#pragma once

#include <QObject>

class QSocketNotifier;

namespace qornc::server {

// Turns SIGINT and SIGTERM into QCoreApplication::quit(), so that shutdown
// runs through the event loop and destructors instead of a signal handler.
// Construct it before any thread starts: the signals are blocked in the
// calling thread and read from a signalfd.
class SignalQuitter : public QObject {
    Q_OBJECT

public:
    explicit SignalQuitter(QObject* parent = nullptr);
    ~SignalQuitter() override;

    bool isActive() const { return fd_ >= 0; }

private:
    void onSignal();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qornc::server
