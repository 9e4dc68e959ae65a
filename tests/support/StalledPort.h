// A loopback port whose listener's accept queue is full: a connect to it is neither accepted nor
// refused, its handshake dropped, as a host that does not answer. The port stays so while the
// object lives.
#pragma once

#include <QTcpSocket>
#include <QtGlobal>

class StalledPort {
public:
    StalledPort();
    ~StalledPort();
    StalledPort(const StalledPort&) = delete;
    StalledPort& operator=(const StalledPort&) = delete;

    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] bool ready() const { return m_ready; }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    QTcpSocket m_filler; // takes the one place the queue has
    bool m_ready = false;
};
