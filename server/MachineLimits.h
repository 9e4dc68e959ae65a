// What this machine gives the server: the defaults that fit many users are derived from it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qornc::server {

struct MachineLimits {
    std::size_t descriptors = 1024;
    std::uint64_t memoryBytes = std::uint64_t{1} << 30;
};

// Raises the soft descriptor limit to the hard one first: every connection and every delivery in
// flight is a descriptor, and the usual soft limit of 1024 is far below what thousands of users need.
MachineLimits raiseAndReadMachineLimits();

} // namespace qornc::server
