// Names one request connection for as long as the server runs; ids only grow.
#pragma once

#include <cstdint>

namespace qornc::server {

using ConnectionId = std::uint64_t;

} // namespace qornc::server
