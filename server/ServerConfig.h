// Every limit the server runs with; the command line fills it in, derived defaults first.
#pragma once

#include "HeldMessages.h"
#include "common/Protocol.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qornc::server {

struct DispatchLimits {
    // Room for a full presence refresh of a 2,000-name contact list.
    std::size_t maxQueuedPerHost = 5'000;
    // The last guard on memory when many hosts fill their queues.
    std::size_t maxQueued = 100'000;
    // Deliveries open at once; each is a descriptor. The rest wait their turn, host by host.
    std::size_t maxInFlight = 1'000;
    int connectTimeoutMs = 2'000;
    // A try lasts until the recipient's host has acknowledged the whole text: long enough for a
    // few of the kernel's retransmissions on a lossy link.
    int timeoutMs = 15'000;
    int maxBackoffMs = 60'000;
    // How long a notification is tried before it is given up, or held when it is a message.
    int deadlineMs = 60'000;
    // Local addresses deliveries leave from in turn; empty: the one the kernel picks. Each gives
    // every recipient's host as many ports again to wait in TIME_WAIT.
    std::vector<std::string> sources;
};

struct ServerConfig {
    std::string listenAddress = "0.0.0.0";
    std::uint16_t port = kServerPort;
    std::uint16_t notifyPort = kNotifyPort;
    // The last guard; one host alone gets far fewer.
    std::size_t maxConnections = 1000;
    std::size_t maxConnectionsPerHost = 16;
    // A connection with no name logged in over it is closed after this long.
    int loginTimeoutMs = 30'000;
    // Password checks and hashes waiting for a worker thread; a connection waits for one at most.
    std::size_t maxQueuedChecks = 1000;
    // 0: one per core.
    std::size_t hashThreads = 0;
    DispatchLimits dispatch;
    HoldLimits hold;
    std::string stateFile; // empty: registered names live only as long as the server
};

} // namespace qornc::server
