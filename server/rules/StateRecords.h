// The state file's records, one per line, appended as things happen and replayed in order at the
// start, the later record of a name or message winning:
//   "HASH NAME"                          an account registered by its first login, or its new hash
//   "held ID SECONDS RECIPIENT TEXT"     a message kept for its recipient since Unix time SECONDS
//   "released ID"                        that message reached its recipient or expired
// A hash is what crypto_pwhash writes and always starts with '$'. Names and texts write '%',
// control bytes and spaces as %XX, so that any bytes fit on one line. Lines starting with '#' are
// comments. No password is ever written, only its hash.
#pragma once

#include "HeldMessageLog.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace qornc::server {

// What the records add up to.
struct JournalState {
    std::map<std::string, std::string, std::less<>> accounts; // name -> hash
    std::map<std::uint64_t, HeldMessage> held;
};

std::string accountRecord(std::string_view name, std::string_view hash);
std::string heldRecord(const HeldMessage& message);
std::string releasedRecord(std::uint64_t id);

// The whole state in as few records as it takes: what compaction writes.
std::string formatSnapshot(const JournalState& state);

struct Replay {
    bool ok = false;
    std::string error;          // when not ok: "line N: why"
    std::size_t usedBytes = 0;  // up to and with the last line end
    bool tornTail = false;      // bytes after the last line end, left out
};

// Applies every complete line of `content` to `state`. A last line without its line end is a
// write cut short by a crash: it was never acknowledged, so it is left out rather than trusted.
Replay replayRecords(std::string_view content, JournalState& state);

} // namespace qornc::server
