// Where a message kept for a recipient who cannot take it now (logged out, or unreachable past
// the delivery deadline) is recorded, so that it outlives a restart or a crash. The router holds
// the messages themselves; this only writes down their coming and going.
#pragma once

#include <cstdint>
#include <string>

namespace qornc::server {

struct HeldMessage {
    std::uint64_t id = 0;          // unique for the life of the state; ascending in arrival order
    std::string recipient;         // the registered name the message waits for
    std::string notification;      // the text as it will be delivered, without its NUL
    std::int64_t heldAtSeconds = 0; // Unix time at which it was first held
};

class HeldMessageLog {
public:
    virtual ~HeldMessageLog() = default;
    // The message is held from now on. Recorded off the event loop; never blocks the caller.
    virtual void held(const HeldMessage& message) = 0;
    // The message reached its recipient or expired: it is not brought back after a restart.
    virtual void released(std::uint64_t id) = 0;
};

} // namespace qornc::server
