#include "StalledPort.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

StalledPort::StalledPort()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    // A backlog of 0 still queues one connection; Qt's listen would ask for 50.
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(m_listener, 0) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_filler.connectToHost(QHostAddress(QHostAddress::LocalHost), m_port);
    m_ready = m_filler.waitForConnected(2000);
}

StalledPort::~StalledPort()
{
    m_filler.abort();
    if (m_listener >= 0)
        ::close(m_listener);
}
