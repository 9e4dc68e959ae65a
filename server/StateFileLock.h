// One server per state file: each would overwrite the accounts the other registered.
#pragma once

#include <string>

namespace qornc::server {

// Holds an exclusive lock on FILE.lock beside the state file (its links followed, so that two
// paths to one file are one lock) for as long as it lives. The lock file itself stays.
class StateFileLock {
public:
    StateFileLock() = default;
    StateFileLock(const StateFileLock&) = delete;
    StateFileLock& operator=(const StateFileLock&) = delete;
    ~StateFileLock();

    // False, with why, when another process holds the lock or it cannot be made.
    bool acquire(const std::string& stateFile, std::string& error);

private:
    int fd_ = -1;
};

} // namespace qornc::server
