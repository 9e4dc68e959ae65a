// Blocking loopback helpers for the benchmark's tests.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string_view>

// A port that was free on address a moment ago.
[[nodiscard]] std::uint16_t FreePort(in_addr address);
bool WriteAll(int fd, std::string_view bytes);
