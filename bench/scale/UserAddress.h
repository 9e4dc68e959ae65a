// Each simulated user has a name and a loopback address of its own, so the server sees as many
// hosts as users: user i is 127.b.c.d with c and d in 1..250, never a network or broadcast
// address, and named u followed by i in five digits or more.
#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>

inline constexpr int kHostsPerOctet = 250;
inline constexpr int kMaxUsers = 100 * kHostsPerOctet * kHostsPerOctet;

[[nodiscard]] in_addr UserAddress(int user);
// The user whose address this is, if any.
[[nodiscard]] std::optional<int> UserAt(in_addr address);
[[nodiscard]] std::string UserName(int user);
[[nodiscard]] std::string UserPassword(int user);
