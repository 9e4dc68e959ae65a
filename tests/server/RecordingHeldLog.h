// Stands in for the state journal: keeps what the server reports as held and not yet released.
#pragma once

#include "HeldMessageLog.h"

#include <cstdint>
#include <map>

namespace qornc::server::test {

class RecordingHeldLog final : public HeldMessageLog {
public:
    void held(const HeldMessage& message) override { kept.insert_or_assign(message.id, message); }
    void released(std::uint64_t id) override { kept.erase(id); }

    std::map<std::uint64_t, HeldMessage> kept; // what a restart would bring back, in arrival order
};

} // namespace qornc::server::test
