#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace qornc::server {

// Passwords by user name. There is no registration step in the protocol: the
// first login of a name fixes its password for the life of the server, unless
// an accounts file fixed it earlier.
class AccountBook {
public:
    // Every new name costs memory for good, so a flood of invented names must
    // hit a ceiling instead of eating the machine.
    static constexpr std::size_t kDefaultCapacity = 100'000;

    enum class Login { Registered, Accepted, WrongPassword, Full };

    explicit AccountBook(std::size_t capacity = kDefaultCapacity);

    // False when the name is already known or the book is full.
    bool preset(std::string_view name, std::string_view password);
    Login login(std::string_view name, std::string_view password);

    // Null for names never seen.
    const std::string* passwordOf(std::string_view name) const;
    std::size_t size() const { return passwords_.size(); }

private:
    std::map<std::string, std::string, std::less<>> passwords_;
    std::size_t capacity_;
};

} // namespace qornc::server
