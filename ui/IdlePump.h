// The idle pump: one pass of guarded steps runs before every event the application dispatches,
// and a handler that stores something schedules a pass so nothing waits for the next event.
// No timer drives it: at idle it costs nothing.
#pragma once

#include <QObject>

#include <functional>

class IdlePump : public QObject {
    Q_OBJECT

public:
    explicit IdlePump(std::function<void()> pass, QObject* parent = nullptr);
    ~IdlePump() override;

    void Install();
    void Uninstall();
    // Posts one wake-up, coalesced: many stores before the next pass cost one pass.
    void Schedule();
    // Runs a pass now unless one is already running (steps that hide or show send events).
    void RunPass();

    // While suspended no pass runs; the connect wait must not send on a half-open link.
    void Suspend() { ++m_suspended; }
    void Resume();

    [[nodiscard]] int passes() const { return m_passes; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    std::function<void()> m_pass;
    bool m_installed = false;
    bool m_running = false;
    bool m_scheduled = false;
    int m_suspended = 0;
    int m_passes = 0;
};

class PumpSuspension {
public:
    explicit PumpSuspension(IdlePump& pump) : m_pump(pump) { m_pump.Suspend(); }
    ~PumpSuspension() { m_pump.Resume(); }
    PumpSuspension(const PumpSuspension&) = delete;
    PumpSuspension& operator=(const PumpSuspension&) = delete;

private:
    IdlePump& m_pump;
};
