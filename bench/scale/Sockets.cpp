#include "Sockets.h"

#include <arpa/inet.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <cerrno>

namespace {

sockaddr_in Endpoint(in_addr address, std::uint16_t port)
{
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_addr = address;
    endpoint.sin_port = htons(port);
    return endpoint;
}

}  // namespace

UniqueFd ListenTcp(in_addr address, std::uint16_t port, int backlog)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in endpoint = Endpoint(address, port);
    if (!fd || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0
        || ::listen(fd.get(), backlog) != 0)
        return {};
    return fd;
}

UniqueFd ConnectFrom(in_addr source, in_addr destination, std::uint16_t port)
{
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return {};
    if (source.s_addr != htonl(INADDR_ANY)) {
        // The port is chosen at connect time, per destination, so 10,000 sources do not
        // exhaust the ephemeral range that bind alone would draw on.
        const int on = 1;
        ::setsockopt(fd.get(), IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &on, sizeof on);
        const sockaddr_in local = Endpoint(source, 0);
        if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
            return {};
    }
    const sockaddr_in remote = Endpoint(destination, port);
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0 && errno != EINPROGRESS)
        return {};
    return fd;
}

UniqueFd AcceptFrom(int listenFd, in_addr* peer, in_addr* local)
{
    sockaddr_in remote{};
    socklen_t length = sizeof remote;
    UniqueFd fd(::accept4(listenFd, reinterpret_cast<sockaddr*>(&remote), &length, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (fd && peer)
        *peer = remote.sin_addr;
    if (fd && local) {
        sockaddr_in own{};
        length = sizeof own;
        ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&own), &length);
        *local = own.sin_addr;
    }
    return fd;
}

int PendingError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        return errno;
    return error;
}

std::uint16_t LocalPort(int fd)
{
    sockaddr_in own{};
    socklen_t length = sizeof own;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length);
    return ntohs(own.sin_port);
}

in_addr Ipv4(const std::string& dotted)
{
    in_addr address{};
    if (::inet_pton(AF_INET, dotted.c_str(), &address) != 1)
        address.s_addr = htonl(INADDR_NONE);
    return address;
}

std::string DottedText(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

int RaiseFileLimit()
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    return static_cast<int>(limit.rlim_cur);
}
