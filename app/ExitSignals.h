// Turning SIGTERM, SIGINT and SIGHUP, and the desktop session's end, into an Exit on the UI
// thread, so the client is never killed with its logout unsent and its contact list unsaved.
#pragma once

#include <QObject>

class QSocketNotifier;

class ExitSignals : public QObject {
    Q_OBJECT

public:
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;

    [[nodiscard]] bool installed() const { return m_notifier != nullptr; }

signals:
    // signalNumber is 0 for the session's end.
    void exitRequested(int signalNumber);

private:
    void OnSignal();

    QSocketNotifier* m_notifier = nullptr;
};
