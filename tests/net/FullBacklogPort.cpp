#include "FullBacklogPort.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kMaxFillers = 16;
constexpr int kHandshakeWaitMs = 200;

sockaddr_in Loopback(std::uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Starts a connect and reports whether the handshake completed within the wait.
bool ConnectCompletes(int fd, std::uint16_t port)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    pollfd waiting{fd, POLLOUT, 0};
    return ::poll(&waiting, 1, kHandshakeWaitMs) == 1;
}

}  // namespace

FullBacklogPort::FullBacklogPort()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), length) != 0 || ::listen(m_listener, 0) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    for (int i = 0; i < kMaxFillers && !m_full; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        m_fillers.push_back(fd);
        m_full = !ConnectCompletes(fd, m_port);
    }
}

FullBacklogPort::~FullBacklogPort()
{
    for (const int fd : m_fillers)
        ::close(fd);
    if (m_listener >= 0)
        ::close(m_listener);
}
