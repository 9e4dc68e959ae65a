#include "LoopbackPeer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Sockets.h"

namespace {

bool Readable(int fd, int milliseconds)
{
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, milliseconds) == 1;
}

}  // namespace

std::uint16_t FreePort(in_addr address)
{
    const UniqueFd probe = ListenTcp(address, 0, 1);
    return LocalPort(probe.get());
}

UniqueFd LinkFrom(in_addr source, std::uint16_t port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr = source;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0
        || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0)
        return {};
    return fd;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote <= 0)
            return false;
        bytes.remove_prefix(std::size_t(wrote));
    }
    return true;
}

DeliveryListener::DeliveryListener(in_addr address, std::uint16_t port) : m_fd(ListenTcp(address, port, 16)) {}

std::string DeliveryListener::Next()
{
    if (!Readable(m_fd.get(), 2000))
        return {};
    const UniqueFd connection = AcceptFrom(m_fd.get());
    std::string bytes;
    char buffer[512];
    while (Readable(connection.get(), 2000)) {
        const ssize_t got = ::read(connection.get(), buffer, sizeof buffer);
        if (got <= 0)
            break;
        bytes.append(buffer, std::size_t(got));
    }
    return bytes;
}

bool DeliveryListener::QuietFor(int milliseconds)
{
    return !Readable(m_fd.get(), milliseconds);
}
