#include "UserAddress.h"

#include <arpa/inet.h>

#include <cstdio>

namespace {

// 127.0.0.0/16 stays free for the server and anything else the machine runs on loopback.
constexpr int kFirstB = 1;

}  // namespace

in_addr UserAddress(int user)
{
    const int d = user % kHostsPerOctet + 1;
    const int c = user / kHostsPerOctet % kHostsPerOctet + 1;
    const int b = user / (kHostsPerOctet * kHostsPerOctet) + kFirstB;
    in_addr address{};
    address.s_addr = htonl((127u << 24) | (unsigned(b) << 16) | (unsigned(c) << 8) | unsigned(d));
    return address;
}

std::optional<int> UserAt(in_addr address)
{
    const std::uint32_t host = ntohl(address.s_addr);
    const int a = int(host >> 24), b = int(host >> 16 & 0xff), c = int(host >> 8 & 0xff), d = int(host & 0xff);
    if (a != 127 || b < kFirstB || c < 1 || c > kHostsPerOctet || d < 1 || d > kHostsPerOctet)
        return std::nullopt;
    const int user = ((b - kFirstB) * kHostsPerOctet + (c - 1)) * kHostsPerOctet + (d - 1);
    return user < kMaxUsers ? std::optional<int>(user) : std::nullopt;
}

std::string UserName(int user)
{
    char name[16];
    std::snprintf(name, sizeof name, "u%05d", user);
    return name;
}

std::string UserPassword(int user)
{
    return "pw" + UserName(user);
}
