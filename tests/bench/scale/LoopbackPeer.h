// Blocking loopback helpers for the benchmark's tests: a request link from a chosen address,
// and a delivery listener that hands over what each connection carried.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "UniqueFd.h"

// A port that was free on address a moment ago.
[[nodiscard]] std::uint16_t FreePort(in_addr address);
// Connects from source to 127.0.0.1:port and writes bytes; blocking.
[[nodiscard]] UniqueFd LinkFrom(in_addr source, std::uint16_t port);
bool WriteAll(int fd, std::string_view bytes);

class DeliveryListener {
public:
    DeliveryListener(in_addr address, std::uint16_t port);
    [[nodiscard]] bool listening() const { return bool(m_fd); }
    // Everything the next connection carried up to its end; empty after two seconds without one.
    [[nodiscard]] std::string Next();
    // True when no connection arrives within the wait.
    [[nodiscard]] bool QuietFor(int milliseconds);

private:
    UniqueFd m_fd;
};
