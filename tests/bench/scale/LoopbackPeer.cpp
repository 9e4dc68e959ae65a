#include "LoopbackPeer.h"

#include <unistd.h>

#include "Sockets.h"

std::uint16_t FreePort(in_addr address)
{
    const UniqueFd probe = ListenTcp(address, 0, 1);
    return LocalPort(probe.get());
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
