// The few socket calls the load generator and the relay make, non-blocking throughout.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>

#include "UniqueFd.h"

// Listens on address:port (port 0 picks one); an empty UniqueFd when that fails.
[[nodiscard]] UniqueFd ListenTcp(in_addr address, std::uint16_t port, int backlog);
// Starts a connection from source (any port) to destination:port; completion shows as writable.
// source INADDR_ANY leaves the choice of address to the kernel.
[[nodiscard]] UniqueFd ConnectFrom(in_addr source, in_addr destination, std::uint16_t port);
// Takes one pending connection, non-blocking; empty when none waits.
[[nodiscard]] UniqueFd AcceptFrom(int listenFd, in_addr* peer = nullptr, in_addr* local = nullptr);
// The error a non-blocking connect ended with, 0 when it is established.
[[nodiscard]] int PendingError(int fd);
[[nodiscard]] std::uint16_t LocalPort(int fd);
[[nodiscard]] in_addr Ipv4(const std::string& dotted);
[[nodiscard]] std::string DottedText(in_addr address);
// Raises the soft descriptor limit to the hard one and returns what it now is.
int RaiseFileLimit();
