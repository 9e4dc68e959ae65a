#pragma once

#include "PasswordHasher.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qornc::server {

// Passwords by user name. There is no registration step in the protocol: the
// first login of a name fixes its password, unless the accounts file fixed it
// earlier. Registered names keep only a slow salted hash, because they are
// what the state file stores; names from the accounts file keep the password
// the administrator wrote there, as that file holds it in clear anyway.
class AccountBook {
public:
    // Every new name costs memory for good, so a flood of invented names must
    // hit a ceiling instead of eating the machine.
    static constexpr std::size_t kDefaultCapacity = 100'000;

    explicit AccountBook(std::size_t capacity = kDefaultCapacity, PasswordHasher hasher = PasswordHasher());

    // Each is false when the name is already known or the book is full.
    bool preset(std::string_view name, std::string_view password);
    bool addHashed(std::string_view name, std::string hash);
    // A registered name's password, hashed anew; false for any other name.
    bool rehash(std::string_view name, std::string hash);

    bool contains(std::string_view name) const { return accounts_.find(name) != accounts_.end(); }
    bool full() const { return accounts_.size() >= capacity_; }
    std::size_t size() const { return accounts_.size(); }

    bool isSlowToCheck(std::string_view name) const;
    // For a name from the accounts file: whether `password` is its own, in a time that tells
    // nothing about either.
    bool clearMatches(std::string_view name, std::string_view password) const;
    // For a registered name: the hash to check passwords against; empty for any other name.
    std::string storedHash(std::string_view name) const;
    // What new names are hashed with.
    const PasswordHasher& hasher() const { return hasher_; }

private:
    struct Account {
        std::string secret;
        bool hashed;
    };

    bool add(std::string_view name, Account account);

    std::map<std::string, Account, std::less<>> accounts_;
    std::size_t capacity_;
    PasswordHasher hasher_;
};

} // namespace qornc::server
