// Slow password work, done off the event loop: checking a request's password candidates against
// a stored hash, or hashing the password of a new name.
#pragma once

#include "LoginBackoff.h"
#include "PasswordHasher.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qornc::server {

struct PasswordWork {
    enum class Kind { Verify, Hash };

    Kind kind = Kind::Verify;
    std::string name{};
    std::string storedHash{};             // Verify
    std::vector<std::string> passwords{}; // Verify: the candidates, in order; Hash: the one to hash
    PasswordHasher hasher{};              // the book's: Hash makes one, Verify one for a weaker stored hash
    CheckRank rank{};
    std::string what{};                   // the request it is for, as the log names it
};

struct WorkOutcome {
    bool ran = false;                   // false: dropped unrun, the workers being too busy
    std::optional<std::size_t> matched; // Verify: the first candidate that held
    std::optional<std::string> hash;    // Hash: none when hashing failed; Verify: the stronger hash, if made
};

// Runs on a worker thread: touches nothing but `work`.
WorkOutcome perform(const PasswordWork& work);

} // namespace qornc::server
